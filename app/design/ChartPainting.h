#pragma once

#include <QBrush>
#include <QColor>
#include <QPolygonF>

class QPainter;

namespace kivo::ChartPainting {

// Strokes a line through the points, antialiased. Drawn as one segment per pair of points with
// square caps, which covers the joins the way round joins do at these widths, at a small part
// of the cost of Qt's general stroker (a 150-point line in tens of microseconds, not hundreds).
void strokeLine(QPainter& painter, const QPolygonF& points, const QColor& color, double width);

// A brush of one translucent colour. Built as a two-stop gradient of that colour: the raster
// engine fills gradients far faster than translucent solid colours over antialiased spans.
QBrush translucent(const QColor& color);

}  // namespace kivo::ChartPainting
