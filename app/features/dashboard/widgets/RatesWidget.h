#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class DualSparkline;
class Readout;

// Two rates and their sparklines on a shared ceiling: disk read and write, or download and upload.
class RatesWidget : public WidgetView {
  Q_OBJECT

 public:
  RatesWidget(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  MetricID first_;
  MetricID second_;
  Readout* firstReadout_ = nullptr;
  Readout* secondReadout_ = nullptr;
  DualSparkline* dual_ = nullptr;
  std::vector<double> bufferA_;
  std::vector<double> bufferB_;
};

}  // namespace kivo
