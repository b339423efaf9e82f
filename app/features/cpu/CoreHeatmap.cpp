#include "features/cpu/CoreHeatmap.h"

#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

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
  return kivo::tr("Busiest core right now: %1 at %2 %").arg(busiest + 1).arg(std::lround(newest[busiest] * 100));
}

void CoreHeatmap::paint(QPainter& painter, const QRectF& rect, const QList<QList<double>>& history,
                        const QColor& cell, const QColor& background) {
  painter.save();
  QPainterPath shape;
  shape.addRoundedRect(rect, kCornerRadius, kCornerRadius);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(shape, background);
  painter.setClipPath(shape);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const qsizetype rows = std::min<qsizetype>(history.size(), kColumns);
  if (rows > 0 && !history.last().isEmpty()) {
    const qsizetype cores = history.last().size();
    const double w = rect.width() / kColumns;
    const double h = rect.height() / static_cast<double>(cores);
    const double cellHeight = std::max(h - 1, 1.0);
    const qsizetype first = history.size() - rows;
    QColor color = cell;
    for (qsizetype i = 0; i < rows; ++i) {
      const QList<double>& row = history[first + i];
      if (row.size() != cores) continue;  // the core count changed: leave the column blank
      const double x = rect.left() + columnX(rows, i, rect.width());
      for (qsizetype j = 0; j < cores; ++j) {
        color.setAlphaF(static_cast<float>(opacity(row[j])));
        painter.fillRect(QRectF(x, rect.top() + h * static_cast<double>(j), w + 0.5, cellHeight), color);
      }
    }
  }
  painter.restore();
}

QSize CoreHeatmap::sizeHint() const { return {400, 150}; }

QSize CoreHeatmap::minimumSizeHint() const { return {150, 150}; }

void CoreHeatmap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QColor background = Palette::surfaceRaised.resolve(this);
  background.setAlphaF(0.4f);
  static const QList<QList<double>> kNone;
  paint(painter, QRectF(rect()), history_ ? *history_ : kNone, color_.resolve(this), background);
}

}  // namespace kivo
