#include "design/ChartPainting.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QVarLengthArray>

namespace kivo::ChartPainting {

void strokeLine(QPainter& painter, const QPolygonF& points, const QColor& color, double width) {
  if (points.size() < 2) return;
  QVarLengthArray<QLineF, 256> lines;
  for (qsizetype i = 1; i < points.size(); ++i) lines.append(QLineF(points[i - 1], points[i]));
  painter.setPen(QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawLines(lines.constData(), static_cast<int>(lines.size()));
}

QBrush translucent(const QColor& color) {
  if (color.alpha() == 255) return QBrush(color);
  QLinearGradient gradient(0, 0, 0, 1);
  gradient.setColorAt(0, color);
  gradient.setColorAt(1, color);
  return QBrush(gradient);
}

}  // namespace kivo::ChartPainting
