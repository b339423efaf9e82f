#include "design/LiveChart.h"

#include "design/Appearance.h"
#include "design/ChartPainting.h"
#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

constexpr double kStackGap = 6;  // between plot canvas and legend
constexpr double kTimeLabelDrop = 3;
constexpr double kLegendSpacing = 12;
constexpr double kSwatch = 8;
constexpr double kSwatchGap = 5;

QString formatted(const ValueFormat& format, double value) {
  return format ? format(value) : QLocale().toString(value, 'f', 0);
}

QColor withAlpha(QColor color, float alpha) {
  color.setAlphaF(alpha);
  return color;
}

double legendRowHeight(const QFont& caption) {
  return std::max(kSwatch, QFontMetricsF(caption).height());
}

void paintValueGrid(QPainter& painter, const QRectF& canvas, const QRectF& plot, ChartRange range,
                    std::span<const ChartGeometry::Tick> ticks, const LiveChartStyle& style) {
  const double textHeight = QFontMetricsF(style.caption).height();
  painter.setPen(QPen(style.grid, 1));
  for (const ChartGeometry::Tick& tick : ticks) {
    // Grid lines sit on whole pixels so they stay one crisp pixel wide.
    const double y = std::floor(ChartGeometry::y(tick.value, range, plot)) + 0.5;
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  }
  painter.setPen(style.axisText);
  for (const ChartGeometry::Tick& tick : ticks) {
    const double y = ChartGeometry::y(tick.value, range, plot);
    const QRectF box(canvas.left(), y - textHeight / 2,
                     plot.left() - ChartGeometry::kLabelGap - canvas.left(), textHeight);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, tick.label);
  }
}

void paintTimeLabels(QPainter& painter, const QRectF& plot, ChartGeometry::TimeSpan span,
                     const LiveChartStyle& style) {
  const double textHeight = QFontMetricsF(style.caption).height();
  const double top = plot.bottom() + kTimeLabelDrop;
  const double room = plot.width();
  const double duration = static_cast<double>(span.end) - static_cast<double>(span.start);
  painter.setPen(style.axisText);
  struct Label {
    double fraction;
    QRectF box;
    Qt::Alignment align;
  };
  const Label labels[] = {
      {0, QRectF(plot.left(), top, room, textHeight), Qt::AlignLeft},
      {0.5, QRectF(plot.center().x() - room / 2, top, room, textHeight), Qt::AlignHCenter},
      {1, QRectF(plot.right() - room, top, room, textHeight), Qt::AlignRight},
  };
  for (const Label& label : labels) {
    const auto at = span.start + static_cast<qint64>(std::llround(label.fraction * duration));
    painter.drawText(label.box, label.align | Qt::AlignTop, LiveChart::timeText(at));
  }
}

void paintStacked(QPainter& painter, const QRectF& plot, ChartRange range, ChartGeometry::TimeSpan span,
                  std::span<const LiveSeries> series, std::span<const QColor> colors) {
  // The running total of every instant: one sorted list of instants, one total each.
  std::vector<qint64> instants;
  for (const LiveSeries& one : series) {
    for (const ChartPoint& point : one.points) {
      if (std::isfinite(point.value)) instants.push_back(point.msecs);
    }
  }
  std::sort(instants.begin(), instants.end());
  instants.erase(std::unique(instants.begin(), instants.end()), instants.end());
  std::vector<double> totals(instants.size(), 0.0);

  QPolygonF upper;
  QPolygonF lower;
  QPolygonF band;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const LiveSeries& one = series[s];
    if (ChartGeometry::finiteCount(one) < 2) continue;
    upper.clear();
    lower.clear();
    for (const ChartPoint& point : one.points) {
      if (!std::isfinite(point.value)) continue;
      const auto slot = static_cast<std::size_t>(
          std::lower_bound(instants.begin(), instants.end(), point.msecs) - instants.begin());
      const double below = totals[slot];
      const double above =
          std::clamp(below + point.value, -ChartGeometry::kValueLimit, ChartGeometry::kValueLimit);
      totals[slot] = above;
      const double x = ChartGeometry::x(point.msecs, span, plot);
      upper << QPointF(x, ChartGeometry::y(above, range, plot));
      lower << QPointF(x, ChartGeometry::y(below, range, plot));
    }
    // The band runs along the upper edge and back along the lower one.
    band = upper;
    for (auto point = lower.crbegin(); point != lower.crend(); ++point) band << *point;
    const QColor color = s < colors.size() ? colors[s] : QColor(Qt::gray);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ChartPainting::translucent(withAlpha(color, 0.78f)));
    painter.drawPolygon(band, Qt::WindingFill);
    ChartPainting::strokeLine(painter, upper, color, 1.2);
  }
}

void paintLines(QPainter& painter, const QRectF& plot, ChartRange range, ChartGeometry::TimeSpan span,
                std::span<const LiveSeries> series, std::span<const QColor> colors) {
  QPolygonF line;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const LiveSeries& one = series[s];
    if (ChartGeometry::finiteCount(one) < 2) continue;
    line.clear();
    for (const ChartPoint& point : one.points) {
      if (!std::isfinite(point.value)) continue;
      line << QPointF(ChartGeometry::x(point.msecs, span, plot), ChartGeometry::y(point.value, range, plot));
    }
    const QColor color = s < colors.size() ? colors[s] : QColor(Qt::gray);
    if (series.size() == 1) {
      QPolygonF area = line;
      area << QPointF(line.back().x(), plot.bottom()) << QPointF(line.front().x(), plot.bottom());
      QLinearGradient gradient(0, plot.top(), 0, plot.bottom());
      gradient.setColorAt(0, withAlpha(color, 0.28f));
      gradient.setColorAt(1, withAlpha(color, 0.02f));
      painter.setPen(Qt::NoPen);
      painter.setBrush(gradient);
      // The only slanted edge lies under the line, so the fill needs no antialiasing of its own
      // (a third of the cost).
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.drawPolygon(area, Qt::WindingFill);
      painter.setRenderHint(QPainter::Antialiasing, true);
    }
    ChartPainting::strokeLine(painter, line, color, 1.6);
  }
}

void paintLegend(QPainter& painter, const QRectF& row, std::span<const LiveSeries> series,
                 std::span<const QColor> colors, const LiveChartStyle& style) {
  const QFontMetricsF metrics(style.caption);
  double x = row.left();
  const double middle = row.center().y();
  for (std::size_t s = 0; s < series.size() && x < row.right(); ++s) {
    const QColor color = s < colors.size() ? colors[s] : QColor(Qt::gray);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(x, middle - kSwatch / 2, kSwatch, kSwatch));
    x += kSwatch + kSwatchGap;
    const double width = metrics.horizontalAdvance(series[s].name);
    painter.setPen(style.legendText);
    painter.drawText(QRectF(x, row.top(), width + 1, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     series[s].name);
    x += width + kLegendSpacing;
  }
}

}  // namespace

LiveChartStyle LiveChartStyle::resolve(bool dark) {
  return {Palette::hairline.resolve(dark), Palette::textTertiary.resolve(dark),
          Palette::textSecondary.resolve(dark), Typeface::caption()};
}

LiveChartStyle LiveChartStyle::resolve(const QWidget* widget) {
  return resolve(Appearance::isDark(widget));
}

LiveChart::LiveChart(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  refreshSummary();
}

void LiveChart::setSeries(std::vector<LiveSeries> series) {
  const std::size_t before = series_.size();
  series_ = std::move(series);
  seriesChanged(before);
}

void LiveChart::seriesChanged(std::size_t countBefore) {
  if ((series_.size() >= 2) != (countBefore >= 2)) updateGeometry();
  refreshSummary();
  update();
}

void LiveChart::setOptions(LiveChartOptions options) {
  options_ = std::move(options);
  updateGeometry();
  refreshSummary();
  update();
}

void LiveChart::refreshSummary() {
  // The summary is what a screen reader says for the chart: its name, not a description after
  // an empty one.
  const QString summary = accessibilitySummary(series_, options_.format);
  if (summary != accessibleName()) setAccessibleName(summary);
}

double LiveChart::totalHeight(std::size_t seriesCount, const LiveChartOptions& options,
                              const QFont& caption) {
  const double plot = std::isfinite(options.height) ? std::max(options.height, 0.0) : 0.0;
  return seriesCount >= 2 ? plot + kStackGap + legendRowHeight(caption) : plot;
}

QSize LiveChart::sizeHint() const {
  return {300, static_cast<int>(std::ceil(totalHeight(series_.size(), options_, Typeface::caption())))};
}

QSize LiveChart::minimumSizeHint() const {
  return {120, sizeHint().height()};
}

QString LiveChart::timeText(qint64 msecs) {
  // The locale's short time with seconds added after the minutes: "h:mm AP" becomes "h:mm:ss AP".
  static QString localeName;
  static QString format;
  const QLocale locale;
  if (format.isEmpty() || localeName != locale.name()) {
    localeName = locale.name();
    format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
  }
  return locale.toString(QDateTime::fromMSecsSinceEpoch(msecs), format);
}

LiveChartGrid LiveChart::grid(std::span<const LiveSeries> series, const LiveChartOptions& options) {
  LiveChartGrid grid;
  if (options.ticks) {
    grid.range = ChartGeometry::range(series, options.domain, options.stacked);
    grid.ticks = ChartGeometry::labelledTicks(
        grid.range, options.ticks, [&options](double value) { return formatted(options.format, value); });
    return grid;
  }
  const auto domain = options.domain ? ChartGeometry::ordered(*options.domain) : std::nullopt;
  ChartAxis::Axis axis;
  if (domain) {
    axis = ChartAxis::within(*domain, options.axis);
  } else {
    // Headroom above the largest value, then out to the round ticks; 0 always in the range.
    const auto extent = ChartGeometry::extent(series, options.stacked);
    const double low = extent ? std::min(0.0, extent->lower) : 0.0;
    const double high = extent ? std::max(0.0, 1.15 * extent->upper) : 0.0;
    axis = ChartAxis::fitted(low, high, options.axis);
  }
  grid.range = axis.range;
  const QLocale locale;
  grid.ticks.reserve(axis.ticks.size());
  for (double value : axis.ticks) {
    grid.ticks.push_back({value, ChartAxis::label(value, axis, options.axis, locale, options.format)});
  }
  return grid;
}

QString LiveChart::accessibilitySummary(std::span<const LiveSeries> series, const ValueFormat& format) {
  QStringList parts;
  for (const LiveSeries& one : series) {
    bool any = false;
    double last = 0;
    double smallest = 0;
    double largest = 0;
    for (const ChartPoint& point : one.points) {
      if (!std::isfinite(point.value)) continue;
      smallest = any ? std::min(smallest, point.value) : point.value;
      largest = any ? std::max(largest, point.value) : point.value;
      last = point.value;
      any = true;
    }
    if (!any) continue;
    parts << one.name + QStringLiteral(": ") + formatted(format, last) + QStringLiteral(". ") +
                 tr("Minimum") + QLatin1Char(' ') + formatted(format, smallest) + QStringLiteral(", ") +
                 tr("Maximum") + QLatin1Char(' ') + formatted(format, largest) + QLatin1Char('.');
  }
  return parts.isEmpty() ? tr("Collecting samples…") : parts.join(QLatin1Char(' '));
}

void LiveChart::paint(QPainter& painter, const QRectF& rect, std::span<const LiveSeries> series,
                      std::span<const QColor> colors, const LiveChartOptions& options,
                      const LiveChartStyle& style) {
  const double plotHeight = std::isfinite(options.height) ? std::max(options.height, 0.0) : 0.0;
  const QRectF canvas(rect.left(), rect.top(), rect.width(), plotHeight);
  const LiveChartGrid grid = LiveChart::grid(series, options);
  const ChartRange range = grid.range;
  const std::vector<ChartGeometry::Tick>& ticks = grid.ticks;
  // The plot starts right of the widest label, measured with the font it is drawn in.
  const QFontMetricsF metrics(style.caption);
  std::vector<double> widths;
  widths.reserve(ticks.size());
  for (const ChartGeometry::Tick& tick : ticks) widths.push_back(metrics.horizontalAdvance(tick.label));
  const QRectF plot = ChartGeometry::plotRect(canvas, widths);

  painter.save();
  painter.setFont(style.caption);
  painter.setRenderHint(QPainter::Antialiasing, false);
  paintValueGrid(painter, canvas, plot, range, ticks, style);

  if (const auto span = ChartGeometry::timeSpan(series)) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintTimeLabels(painter, plot, *span, style);
    painter.save();
    painter.setClipRect(plot);
    if (options.stacked) {
      paintStacked(painter, plot, range, *span, series, colors);
    } else {
      paintLines(painter, plot, range, *span, series, colors);
    }
    painter.restore();
  }

  if (!ChartGeometry::hasLine(series)) {
    painter.setPen(style.axisText);
    painter.drawText(canvas, Qt::AlignCenter, tr("Collecting samples…"));
  }
  if (series.size() >= 2) {
    const QRectF row(rect.left(), canvas.bottom() + kStackGap, rect.width(), legendRowHeight(style.caption));
    paintLegend(painter, row, series, colors, style);
  }
  painter.restore();
}

void LiveChart::paintEvent(QPaintEvent*) {
  colors_.clear();
  for (const LiveSeries& one : series_) colors_.push_back(one.color.resolve(this));
  QPainter painter(this);
  paint(painter, QRectF(rect()), series_, colors_, options_, LiveChartStyle::resolve(this));
}

}  // namespace kivo
