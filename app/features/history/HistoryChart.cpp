#include "features/history/HistoryChart.h"

#include "design/Appearance.h"
#include "design/ChartColor.h"
#include "design/ChartPainting.h"
#include "design/Tokens.h"
#include "features/history/HistoryChartGeometry.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

namespace Geo = HistoryChartGeometry;

constexpr double kSymbolSize = 8;
constexpr double kLineWidth = 1.6;

QColor withAlpha(QColor color, double alpha) {
  color.setAlphaF(static_cast<float>(alpha));
  return color;
}

QString valueLabel(const HistoryChartContent& content, double value) {
  if (!std::isfinite(value)) return {};
  return content.format ? content.format(value) : QLocale().toString(value);
}

QString timeLabel(double time, double step) {
  const QDateTime date =
      QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(time * 1000))).toLocalTime();
  const QLocale locale;
  if (step < 60) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return locale.toString(date.time(), format);
  }
  if (step < 86400) {
    // Whole minutes: a short format that carries seconds loses them.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss"));
    format.remove(QStringLiteral(".ss"));
    return locale.toString(date.time(), format);
  }
  return locale.toString(date.date(), QStringLiteral("MMM d"));
}

// A filled bookmark ribbon, kSymbolSize high, its bottom centre at `bottom`. Drawn, not taken
// from the icon theme: at this size a themed icon is a blur.
void paintBookmarkSymbol(QPainter& painter, QPointF bottom, const QColor& color) {
  const double w = kSymbolSize * 0.7;
  const double h = kSymbolSize;
  QPolygonF ribbon;
  ribbon << QPointF(bottom.x() - w / 2, bottom.y() - h) << QPointF(bottom.x() + w / 2, bottom.y() - h)
         << QPointF(bottom.x() + w / 2, bottom.y()) << QPointF(bottom.x(), bottom.y() - h * 0.3)
         << QPointF(bottom.x() - w / 2, bottom.y());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawPolygon(ribbon);
  painter.restore();
}

struct Frame {
  ChartRange time;
  ChartRange value;
  std::vector<double> valueTicks;
  std::vector<QString> valueLabels;
  double labelWidth = 0;
};

Frame frame(const HistoryChartContent& content, const HistoryChartStyle& style) {
  Frame f;
  f.time = Geo::timeDomain(content.from, content.to);
  const ChartAxis::Axis axis = HistoryChart::valueAxis(content);
  f.value = axis.range;
  f.valueTicks = axis.ticks;
  f.valueLabels = HistoryChart::valueLabels(content, axis);
  const QFontMetricsF metrics(style.caption);
  f.labelWidth = std::max(content.minimumLabelWidth, 0.0);
  for (const QString& label : f.valueLabels)
    f.labelWidth = std::max(f.labelWidth, metrics.horizontalAdvance(label));
  return f;
}

}  // namespace

HistoryChartStyle HistoryChartStyle::resolve(bool dark) {
  return {Palette::hairline.resolve(dark),
          Palette::textTertiary.resolve(dark),
          withAlpha(Palette::textTertiary.resolve(dark), 0.1),
          Palette::accentSecondary.resolve(dark),
          Palette::textTertiary.resolve(dark),
          Typeface::caption(),
          dark};
}

ChartAxis::Axis HistoryChart::valueAxis(const HistoryChartContent& content) {
  auto extent = content.series ? Geo::valueExtent(*content.series) : std::nullopt;
  if (!extent) return ChartAxis::fitted(0, 0, content.axis);
  // A share is read against the whole: an axis from 20 % makes 33 % look like a third of the way.
  if (MetricCatalog::descriptor(content.series->metric).unit == MetricUnit::percent)
    extent->lower = std::min(extent->lower, 0.0);
  return ChartAxis::fitted(extent->lower, extent->upper, content.axis);
}

std::vector<QString> HistoryChart::valueLabels(const HistoryChartContent& content,
                                               const ChartAxis::Axis& axis) {
  std::vector<QString> labels;
  labels.reserve(axis.ticks.size());
  for (double tick : axis.ticks) {
    labels.push_back(ChartAxis::label(tick, axis, content.axis, QLocale(),
                                      [&content](double value) { return valueLabel(content, value); }));
  }
  return labels;
}

QRectF HistoryChart::plotRect(const QRectF& rect, const HistoryChartContent& content,
                              const HistoryChartStyle& style) {
  return Geo::plotRect(rect, frame(content, style).labelWidth);
}

void HistoryChart::paint(QPainter& painter, const QRectF& rect, const HistoryChartContent& content,
                         const HistoryChartStyle& style) {
  static const Series kEmpty;
  const Series& series = content.series ? *content.series : kEmpty;
  const Frame f = frame(content, style);
  const QRectF plot = Geo::plotRect(rect, f.labelWidth);
  const QFontMetricsF metrics(style.caption);
  const double textHeight = metrics.height();

  painter.save();
  painter.setFont(style.caption);
  painter.setRenderHint(QPainter::Antialiasing, false);

  // Value grid (opaque) and time grid (half opacity); lines on whole pixels stay one pixel wide.
  painter.setPen(QPen(style.grid, 1));
  for (double tick : f.valueTicks) {
    const double y = std::floor(Geo::y(tick, f.value, plot)) + 0.5;
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  }
  const std::vector<double> timeTicks = Geo::timeTicks(f.time);
  const double timeStep = Geo::timeStep(f.time.upper - f.time.lower);
  painter.setPen(QPen(withAlpha(style.grid, 0.5), 1));
  for (double tick : timeTicks) {
    const double x = std::floor(Geo::x(tick, f.time, plot)) + 0.5;
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }

  // Labels: values to the left of their line, times centred under theirs (kept inside the canvas).
  painter.setPen(style.axisText);
  for (std::size_t i = 0; i < f.valueTicks.size(); ++i) {
    const double y = Geo::y(f.valueTicks[i], f.value, plot);
    painter.drawText(QRectF(rect.left(), y - textHeight / 2, f.labelWidth, textHeight),
                     Qt::AlignRight | Qt::AlignVCenter, f.valueLabels[i]);
  }
  for (double tick : timeTicks) {
    const QString text = timeLabel(tick, timeStep);
    const double width = metrics.horizontalAdvance(text) + 1;
    double left = Geo::x(tick, f.time, plot) - width / 2;
    left = std::clamp(left, rect.left(), std::max(rect.left(), rect.right() - width));
    painter.drawText(QRectF(left, plot.bottom() + 4, width, textHeight), Qt::AlignHCenter | Qt::AlignTop,
                     text);
  }

  painter.setClipRect(plot.adjusted(-1, -1, 1, 1));

  // Gap bands.
  painter.setPen(Qt::NoPen);
  painter.setBrush(ChartPainting::translucent(style.gapFill));
  for (const SeriesGap& gap : series.gaps) {
    const double left = std::max(Geo::x(gap.start, f.time, plot), plot.left());
    const double right = std::min(Geo::x(gap.end, f.time, plot), plot.right());
    if (right > left) painter.drawRect(QRectF(left, plot.top(), right - left, plot.height()));
  }

  // Per segment: the min-max band, then the average line over it.
  painter.setRenderHint(QPainter::Antialiasing, true);
  const std::vector<int> numbers = Geo::segments(series);
  QPolygonF band;
  QPolygonF line;
  const QBrush bandBrush = ChartPainting::translucent(withAlpha(content.color, 0.18));
  std::size_t start = 0;
  while (start < series.points.size()) {
    std::size_t end = start;
    while (end + 1 < series.points.size() && numbers[end + 1] == numbers[start]) ++end;
    if (end > start) {
      band.clear();
      line.clear();
      for (std::size_t i = start; i <= end; ++i) {
        const SeriesPoint& point = series.points[i];
        const double x = Geo::x(point.time, f.time, plot);
        band << QPointF(x, Geo::y(point.max, f.value, plot));
        line << QPointF(x, Geo::y(point.avg, f.value, plot));
      }
      for (std::size_t i = end + 1; i-- > start;) {
        band << QPointF(Geo::x(series.points[i].time, f.time, plot),
                        Geo::y(series.points[i].min, f.value, plot));
      }
      // The translucent band needs no antialiasing of its own, and the line is drawn as
      // separate segments: Qt's stroker and antialiased fill of a year's zigzag cost tens of
      // milliseconds each, these a small part of that.
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setPen(Qt::NoPen);
      painter.setBrush(bandBrush);
      painter.drawPolygon(band);
      painter.setRenderHint(QPainter::Antialiasing, true);
      ChartPainting::strokeLine(painter, line, content.color, kLineWidth);
    } else {
      // A bucket alone between two breaks has no line to sit on: a dot, so it is not lost.
      const SeriesPoint& point = series.points[start];
      painter.setPen(Qt::NoPen);
      painter.setBrush(content.color);
      painter.drawEllipse(QPointF(Geo::x(point.time, f.time, plot), Geo::y(point.avg, f.value, plot)),
                          kLineWidth, kLineWidth);
    }
    start = end + 1;
  }

  // Bookmarks: dashed rules with the symbol above the plot.
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen dashed(style.bookmark, 1, Qt::CustomDashLine);
  dashed.setDashPattern({3, 3});
  for (double at : content.bookmarks) {
    if (at < f.time.lower || at > f.time.upper) continue;
    const double x = std::floor(Geo::x(at, f.time, plot)) + 0.5;
    painter.setPen(dashed);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    paintBookmarkSymbol(painter, QPointF(x, plot.top() - 2), style.bookmark);
  }

  // The pointer.
  if (content.hover && *content.hover >= f.time.lower && *content.hover <= f.time.upper) {
    const double x = std::floor(Geo::x(*content.hover, f.time, plot)) + 0.5;
    painter.setPen(QPen(style.pointer, 1));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
  painter.restore();
}

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setMouseTracking(true);
}

void HistoryChart::setSeries(Series series, double from, double to) {
  series_ = std::move(series);
  from_ = from;
  to_ = to;
  update();
}

void HistoryChart::setFamily(MetricFamily family) {
  family_ = family;
  update();
}

void HistoryChart::setBookmarks(std::vector<double> bookmarks) {
  bookmarks_ = std::move(bookmarks);
  update();
}

void HistoryChart::setHover(std::optional<double> hover) {
  if (hover == hover_) return;
  hover_ = hover;
  update();
}

void HistoryChart::setFormat(std::function<QString(double)> format, AxisUnit axis) {
  format_ = std::move(format);
  axis_ = std::move(axis);
  update();
}

void HistoryChart::setMinimumLabelWidth(double width) {
  if (width == minimumLabelWidth_) return;
  minimumLabelWidth_ = width;
  update();
}

QRectF HistoryChart::plotArea() const {
  return plotRect(QRectF(rect()), content(), HistoryChartStyle::resolve(Appearance::isDark(this)));
}

double HistoryChart::labelWidth() const {
  HistoryChartContent data = content();
  data.minimumLabelWidth = 0;
  const QFontMetricsF metrics(HistoryChartStyle::resolve(false).caption);
  double width = 0;
  for (const QString& label : valueLabels(data, valueAxis(data)))
    width = std::max(width, metrics.horizontalAdvance(label));
  return width;
}

void HistoryChart::setSummary(const QString& summary) {
  if (summary != accessibleDescription()) setAccessibleDescription(summary);
}

HistoryChartContent HistoryChart::content() const {
  HistoryChartContent content;
  content.series = &series_;
  content.from = from_;
  content.to = to_;
  content.color = ChartColor::of(family_).resolve(this);
  content.bookmarks = bookmarks_;
  content.hover = hover_;
  content.format = format_;
  content.axis = axis_;
  content.minimumLabelWidth = minimumLabelWidth_;
  return content;
}

QSize HistoryChart::sizeHint() const {
  return {600, kHeight};
}
QSize HistoryChart::minimumSizeHint() const {
  return {200, kHeight};
}

void HistoryChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const HistoryChartContent data = content();
  const HistoryChartStyle style = HistoryChartStyle::resolve(Appearance::isDark(this));
  plot_ = plotRect(rect(), data, style);
  paint(painter, rect(), data, style);
}

void HistoryChart::mouseMoveEvent(QMouseEvent* event) {
  if (!plot_) return;
  const ChartRange domain = HistoryChartGeometry::timeDomain(from_, to_);
  emit hoverMoved(HistoryChartGeometry::timeAt(event->position().x(), domain, *plot_));
}

void HistoryChart::leaveEvent(QEvent*) {
  emit hoverMoved(std::nullopt);
}

}  // namespace kivo
