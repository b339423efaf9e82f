#pragma once

#include "design/ChartAxis.h"
#include "design/MetricFamily.h"
#include "storage/Series.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace kivo {

// What one history chart shows: a series over a fixed time range (seconds since 1970), the
// bookmark instants, the pointer's instant and the text of a value.
struct HistoryChartContent {
  const Series* series = nullptr;
  double from = 0;
  double to = 0;
  QColor color;
  std::span<const double> bookmarks;
  std::optional<double> hover;
  std::function<QString(double)> format;
  AxisUnit axis;                 // the unit the value grid is read in
  double minimumLabelWidth = 0;  // charts shown together keep their plots aligned
};

// The interface colours and font of the chart, resolved for one appearance.
struct HistoryChartStyle {
  QColor grid;
  QColor axisText;
  QColor gapFill;
  QColor bookmark;
  QColor pointer;
  QFont caption;
  bool dark = false;

  static HistoryChartStyle resolve(bool dark);
};

// One stored metric over the page's range: gap bands, a min-max band and an average line per
// segment, dashed bookmark rules and the pointer rule, with about six time and five value
// ticks. The widget and the PNG export both paint through paint(). Moving the pointer over the
// plot reports the instant under it; the summary is the accessible description.
class HistoryChart : public QWidget {
  Q_OBJECT

 public:
  explicit HistoryChart(QWidget* parent = nullptr);

  void setSeries(Series series, double from, double to);
  void setFamily(MetricFamily family);
  void setBookmarks(std::vector<double> bookmarks);
  void setHover(std::optional<double> hover);
  void setFormat(std::function<QString(double)> format, AxisUnit axis);
  // At least this much room for the value labels, so charts above each other share one plot left.
  void setMinimumLabelWidth(double width);
  // The room the value labels of the current series take in this chart's font.
  double labelWidth() const;
  // Where the plot sits in the widget as it is now.
  QRectF plotArea() const;
  void setSummary(const QString& summary);

  const Series& series() const { return series_; }
  std::optional<double> hover() const { return hover_; }
  double from() const { return from_; }
  double to() const { return to_; }

  static void paint(QPainter& painter, const QRectF& rect, const HistoryChartContent& content,
                    const HistoryChartStyle& style);
  // Where paint() puts the plot inside rect.
  static QRectF plotRect(const QRectF& rect, const HistoryChartContent& content,
                         const HistoryChartStyle& style);
  // The value grid and its labels.
  static ChartAxis::Axis valueAxis(const HistoryChartContent& content);
  static std::vector<QString> valueLabels(const HistoryChartContent& content, const ChartAxis::Axis& axis);

  static constexpr int kHeight = 230;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The instant under the pointer; none when it leaves the plot.
  void hoverMoved(std::optional<double> time);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  HistoryChartContent content() const;

  Series series_;
  double from_ = 0;
  double to_ = 1;
  MetricFamily family_ = MetricFamily::cpu;
  std::vector<double> bookmarks_;
  std::optional<double> hover_;
  std::function<QString(double)> format_;
  AxisUnit axis_;
  double minimumLabelWidth_ = 0;
  // Known after the first paint; until then the pointer changes nothing.
  std::optional<QRectF> plot_;
};

}  // namespace kivo
