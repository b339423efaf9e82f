#pragma once

#include "design/ChartAxis.h"
#include "design/ChartGeometry.h"
#include "design/LiveSeries.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace kivo {

using ValueFormat = std::function<QString(double)>;

// How a live chart is drawn, apart from its series.
struct LiveChartOptions {
  std::optional<ChartRange> domain;          // fixed value range; computed from the values without it
  ValueFormat format;                        // tick labels and spoken values; plain numbers without it
  bool stacked = false;                      // stacked bands instead of separate lines
  double height = 160;                       // the plot canvas, legend excluded
  std::optional<std::vector<double>> ticks;  // grid values; round steps of `axis` without them
  AxisUnit axis;                             // the unit the grid is read in (format's unit)
};

// The value grid of a live chart: its range and its labelled lines.
struct LiveChartGrid {
  ChartRange range;
  std::vector<ChartGeometry::Tick> ticks;
};

// The interface colours and font a chart is painted with, resolved for one appearance.
struct LiveChartStyle {
  QColor grid;
  QColor axisText;
  QColor legendText;
  QFont caption;

  static LiveChartStyle resolve(const QWidget* widget);
  static LiveChartStyle resolve(bool dark);
};

// A time chart of live series: value grid and labels, three time labels, lines or stacked
// bands, a legend for two or more series, and "Collecting samples…" until a line can be drawn.
// Its spoken summary (latest, smallest and largest value of each series) is its accessible
// name.
class LiveChart : public QWidget {
  Q_OBJECT

 public:
  explicit LiveChart(QWidget* parent = nullptr);

  // Series keep their ChartColor; colours are resolved when painting.
  void setSeries(std::vector<LiveSeries> series);
  // Changes the series in place, reusing their storage, so a page refilling them every tick
  // (LiveSeries::assign) allocates nothing; the chart then follows as after setSeries().
  template <typename Change>
  void updateSeries(Change&& change) {
    const std::size_t before = series_.size();
    change(series_);
    seriesChanged(before);
  }
  void setOptions(LiveChartOptions options);
  const std::vector<LiveSeries>& series() const { return series_; }
  const LiveChartOptions& options() const { return options_; }

  // The whole chart in `rect`: the plot canvas (options.height high) and, for two or more
  // series, the legend under it. `colors` holds one resolved colour per series.
  static void paint(QPainter& painter, const QRectF& rect, std::span<const LiveSeries> series,
                    std::span<const QColor> colors, const LiveChartOptions& options,
                    const LiveChartStyle& style);
  // Height of the whole chart: the plot canvas plus the legend when there is one.
  static double totalHeight(std::size_t seriesCount, const LiveChartOptions& options, const QFont& caption);
  // The value range and grid: the given ticks over the domain (or the values' range), else round
  // steps of the axis unit within the domain, or around 0 and 1.15 x the largest value.
  static LiveChartGrid grid(std::span<const LiveSeries> series, const LiveChartOptions& options);
  static QString accessibilitySummary(std::span<const LiveSeries> series, const ValueFormat& format);
  // A time label: hour, minute and second in the locale's way ("3:04:05 PM" in US English).
  static QString timeText(qint64 msecs);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void refreshSummary();
  void seriesChanged(std::size_t countBefore);

  std::vector<LiveSeries> series_;
  LiveChartOptions options_;
  std::vector<QColor> colors_;  // reused by every paint
};

}  // namespace kivo
