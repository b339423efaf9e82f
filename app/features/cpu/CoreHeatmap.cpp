#include "features/cpu/CoreHeatmap.h"

#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kivo {

CoreHeatmap::CoreHeatmap(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("cpu.coreHeatmap"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAccessibleName(kivo::tr("Core activity"));
  setAccessibleDescription(summary({}));
}

void CoreHeatmap::setHistory(const QList<QList<double>>* history) {
  history_ = history;
  const QString spoken = history ? summary(*history) : summary({});
  if (spoken != accessibleDescription()) setAccessibleDescription(spoken);
  update();
}

void CoreHeatmap::setColor(const ChartColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

double CoreHeatmap::columnX(qsizetype rows, qsizetype index, double width) {
  return width / kColumns * static_cast<double>(kColumns - rows + index);
}

double CoreHeatmap::opacity(double load) {
  if (!(load > 0)) return 0.06;  // also a load that is not a number
  return 0.06 + 0.94 * std::min(load, 1.0);
}

QString CoreHeatmap::summary(const QList<QList<double>>& history) {
  if (history.isEmpty() || history.last().isEmpty()) return kivo::tr("Collecting samples…");
  const QList<double>& newest = history.last();
  qsizetype busiest = -1;
  for (qsizetype index = 0; index < newest.size(); ++index) {
    if (!std::isfinite(newest[index])) continue;
    if (busiest < 0 || newest[index] > newest[busiest]) busiest = index;
  }
  if (busiest < 0) return kivo::tr("Collecting samples…");
  return kivo::tr("Busiest core right now: %1 at %2 %")
      .arg(busiest + 1)
      .arg(std::lround(newest[busiest] * 100));
}

void CoreHeatmap::paint(QPainter& painter, const QRectF& rect, const QList<QList<double>>& history,
                        const QColor& cell, const QColor& background) {
  painter.save();
  QPainterPath shape;
  shape.addRoundedRect(rect, kCornerRadius, kCornerRadius);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(shape, background);
  const qsizetype rows = std::min<qsizetype>(history.size(), kColumns);
  if (rows == 0 || history.last().isEmpty() || rect.width() < 1 || rect.height() < 1) {
    painter.restore();
    return;
  }
  // Up to 150 × cores cells a frame: written as pixels into a scratch image (the same buffer
  // frame after frame), then drawn once through the rounded clip, instead of thousands of fills.
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const QSize pixels = (rect.size() * ratio).toSize();
  static thread_local QImage scratch;
  if (scratch.size() != pixels) scratch = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  scratch.fill(Qt::transparent);
  const qsizetype cores = history.last().size();
  const double width = pixels.width();
  const double w = width / kColumns;
  const double h = pixels.height() / static_cast<double>(cores);
  const double cellHeight = std::max(h - ratio, 1.0);
  const qsizetype first = history.size() - rows;
  // Edges are never negative here, so adding a half and truncating rounds them.
  const auto edge = [](double value, int limit) {
    return std::clamp(static_cast<int>(value + 0.5), 0, limit);
  };
  static thread_local std::vector<std::pair<int, int>> bands;
  bands.resize(static_cast<std::size_t>(cores));
  for (qsizetype j = 0; j < cores; ++j) {
    bands[static_cast<std::size_t>(j)] = {edge(h * static_cast<double>(j), pixels.height()),
                                          edge(h * static_cast<double>(j) + cellHeight, pixels.height())};
  }
  uchar* const bits = scratch.bits();  // one detach check, not one per line
  const qsizetype stride = scratch.bytesPerLine();
  const int red = cell.red();
  const int green = cell.green();
  const int blue = cell.blue();
  for (qsizetype i = 0; i < rows; ++i) {
    const QList<double>& row = history[first + i];
    if (row.size() != cores) continue;  // the core count changed: leave the column blank
    const double x = columnX(rows, i, width);
    const int left = edge(x, pixels.width());
    const int right = edge(x + w + 0.5 * ratio, pixels.width());
    for (qsizetype j = 0; j < cores; ++j) {
      const auto [top, bottom] = bands[static_cast<std::size_t>(j)];
      const int alpha = static_cast<int>(opacity(row[j]) * 255 + 0.5);
      const QRgb value = qPremultiply(qRgba(red, green, blue, alpha));
      for (int y = top; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(line + left, line + right, value);
      }
    }
  }
  scratch.setDevicePixelRatio(ratio);
  painter.setClipPath(shape);
  painter.drawImage(rect.topLeft(), scratch);
  painter.restore();
}

QSize CoreHeatmap::sizeHint() const {
  return {400, 150};
}

QSize CoreHeatmap::minimumSizeHint() const {
  return {150, 150};
}

void CoreHeatmap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QColor background = Palette::surfaceRaised.resolve(this);
  background.setAlphaF(0.4f);
  static const QList<QList<double>> kNone;
  paint(painter, QRectF(rect()), history_ ? *history_ : kNone, color_.resolve(this), background);
}

}  // namespace kivo
