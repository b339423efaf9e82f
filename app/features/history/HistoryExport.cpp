#include "features/history/HistoryExport.h"

#include "design/Tokens.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryPresenter.h"
#include "platform/FileWriter.h"
#include "reporting/ExportText.h"
#include "texts/Localized.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <string>

namespace kivo::HistoryExport {

namespace {

QFont titleFont() {
  return Typeface::system(16, QFont::Bold);
}
QFont captionFont() {
  return Typeface::system(11);
}

QDateTime dateOf(double seconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000)));
}

QString caption(const ImageContent& content) {
  const ValueFormatter fallback;
  const ValueFormatter& format = content.format ? *content.format : fallback;
  const MetricID metric = content.series ? content.series->metric : MetricID::cpuTotal;
  const auto [from, to] = format.period(dateOf(content.from), dateOf(content.to));
  return from + QStringLiteral(" → ") + to + QStringLiteral(" · ") + MetricCatalog::descriptor(metric).source;
}

QString title(const ImageContent& content) {
  return HistoryPresenter::metricName(content.series ? content.series->metric : MetricID::cpuTotal);
}

}  // namespace

QByteArray csv(const Series& series) {
  std::string out = "metric,unit,tier,bucket_seconds,timestamp_iso8601,min,avg,max,samples\n";
  const std::string prefix = std::string(Metric::key(series.metric)) + ',' +
                             std::string(Unit::rawValue(MetricCatalog::descriptor(series.metric).unit)) +
                             ',' + std::string(StoreTiers::rawValue(series.tier)) + ',' +
                             ExportText::shortestDecimal(series.step).toStdString() + ',';
  out.reserve(out.size() + series.points.size() * (prefix.size() + 64));
  for (const SeriesPoint& point : series.points) {
    out += prefix;
    ExportText::appendIsoDate(out, point.time);
    out += ',';
    ExportText::appendShortestDecimal(out, point.min);
    out += ',';
    ExportText::appendShortestDecimal(out, point.avg);
    out += ',';
    ExportText::appendShortestDecimal(out, point.max);
    out += ',';
    out += std::to_string(point.count);
    out += '\n';
  }
  return QByteArray::fromStdString(out);
}

QString fileName(MetricID metric, HistoryRange range, const QString& extension) {
  return QStringLiteral("KIVO-Monitor-") + Metric::keyString(metric) + QLatin1Char('-') +
         HistoryRanges::rawValue(range) + QLatin1Char('.') + extension;
}

QSize imageSize(const ImageContent& content) {
  const QFontMetricsF titleMetrics(titleFont());
  const QFontMetricsF captionMetrics(captionFont());
  const double width =
      std::max({static_cast<double>(kChartWidth), titleMetrics.horizontalAdvance(title(content)),
                captionMetrics.horizontalAdvance(caption(content))});
  const double height = titleMetrics.height() + kSpacing + captionMetrics.height() + kSpacing + kChartHeight;
  return {static_cast<int>(std::ceil(width)) + 2 * kPadding,
          static_cast<int>(std::ceil(height)) + 2 * kPadding};
}

QImage render(const ImageContent& content) {
  const QSize size = imageSize(content);
  QImage image(size * kScale, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;
  image.setDevicePixelRatio(kScale);
  image.fill(Palette::surface.resolve(content.dark));

  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QFontMetricsF titleMetrics(titleFont());
  const QFontMetricsF captionMetrics(captionFont());
  double top = kPadding;
  painter.setFont(titleFont());
  painter.setPen(Palette::textPrimary.resolve(content.dark));
  painter.drawText(QRectF(kPadding, top, size.width() - 2 * kPadding, titleMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, title(content));
  top += titleMetrics.height() + kSpacing;
  painter.setFont(captionFont());
  painter.setPen(Palette::textSecondary.resolve(content.dark));
  painter.drawText(QRectF(kPadding, top, size.width() - 2 * kPadding, captionMetrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, caption(content));
  top += captionMetrics.height() + kSpacing;

  const MetricID metric = content.series ? content.series->metric : MetricID::cpuTotal;
  HistoryChartContent chart;
  chart.series = content.series;
  chart.from = content.from;
  chart.to = content.to;
  chart.color =
      MetricFamilies::color(MetricFamilies::of(metric), content.colorBlindSafe).resolve(content.dark);
  chart.bookmarks = content.bookmarks;
  const ValueFormatter* format = content.format;
  chart.format = [format, metric](double value) {
    return format ? HistoryPresenter::valueText(value, metric, *format) : QString::number(value);
  };
  chart.axis = format ? AxisUnit::of(metric, format->locale) : AxisUnit::of(metric);
  HistoryChart::paint(painter, QRectF(kPadding, top, kChartWidth, kChartHeight), chart,
                      HistoryChartStyle::resolve(content.dark));
  painter.end();
  return image;
}

QByteArray png(const QImage& image) {
  QByteArray bytes;
  if (image.isNull()) return bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
  return bytes;
}

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
  if (bytes.isEmpty()) return tr("There is nothing to write to “%1”.", path);
  return FileWriter::write(path, bytes);
}

}  // namespace kivo::HistoryExport
