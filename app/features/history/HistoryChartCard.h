#pragma once

#include "design/Card.h"
#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "storage/Series.h"

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QToolButton;

namespace kivo {

class HistoryChart;
class ToneLabel;

// The card of one loaded series: its statistics, the readout of the point under the pointer,
// the chart and the Export menu. Built once per metric, then updated in place.
class HistoryChartCard : public Card {
  Q_OBJECT

 public:
  // producible: this computer can produce the metric at all (an empty chart says which).
  HistoryChartCard(MetricID metric, const ValueFormatter& format, bool producible = true,
                   QWidget* parent = nullptr);

  MetricID metric() const { return metric_; }
  // The series over the range it was loaded for, with the bookmark instants of that load.
  void setSeries(const Series& series, double from, double to, std::vector<double> bookmarks);
  void setHover(std::optional<double> hover);
  HistoryChart* chart() const { return chart_; }

 signals:
  void exportPNGRequested();
  void exportCSVRequested();
  void hoverMoved(std::optional<double> time);

 private:
  void refreshReadout();

  MetricID metric_;
  const ValueFormatter& format_;
  bool producible_ = true;
  std::array<QLabel*, 6> values_{};
  QToolButton* export_ = nullptr;
  ToneLabel* readout_ = nullptr;
  HistoryChart* chart_ = nullptr;
  ToneLabel* empty_ = nullptr;
};

}  // namespace kivo
