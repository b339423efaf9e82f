#pragma once

#include "design/MetricFamily.h"
#include "metrics/ValueFormatter.h"
#include "model/HistoryRange.h"
#include "storage/Series.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <span>

namespace kivo {

// The two exports of a history chart card: its series as CSV and its chart as a PNG image.
namespace HistoryExport {

// The PNG's chart, in points; the image is drawn at two pixels per point.
inline constexpr int kChartWidth = 1100;
inline constexpr int kChartHeight = 420;
inline constexpr int kPadding = 24;
inline constexpr int kSpacing = 8;
inline constexpr double kScale = 2;

// UTF-8, one LF-terminated line per point under the fixed header; C-locale numbers.
QByteArray csv(const Series& series);

// "KIVO-Monitor-<metric key>-<range>.<extension>".
QString fileName(MetricID metric, HistoryRange range, const QString& extension);

// What the image shows: the card's series over its loaded range, never a pointer.
struct ImageContent {
  const Series* series = nullptr;
  double from = 0;
  double to = 0;
  std::span<const double> bookmarks;
  bool dark = false;
  bool colorBlindSafe = false;
  const ValueFormatter* format = nullptr;
};
// The title, the caption (range and source) and the chart on the surface colour, padded.
QImage render(const ImageContent& content);
// The image's size in points.
QSize imageSize(const ImageContent& content);
QByteArray png(const QImage& image);

// Writes the bytes through the checked writer (an existing file stays as it was on failure);
// empty bytes are refused. The error text, naming the path and the reason, on failure.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

}  // namespace HistoryExport

}  // namespace kivo
