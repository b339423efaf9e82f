#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace kivo {

enum class PdfWeight { regular, semibold, bold };

struct PdfFont {
  double size = 9;  // points
  PdfWeight weight = PdfWeight::regular;

  bool operator==(const PdfFont&) const = default;
};

// One line of a wrapped text, ready to draw on its own.
struct PdfTextLine {
  QString text;
  double height = 0;  // points
};

// What the report renderer draws on: the PDF document, or a recording in tests. Coordinates are
// the report's page coordinates: points, origin at the bottom-left corner, y growing upward; a
// rectangle's y() is its bottom edge.
class PdfCanvas {
 public:
  virtual ~PdfCanvas() = default;

  // Ends the current page, if any, and starts the next one.
  virtual void beginPage() = 0;

  // The text broken into lines no wider than `width` (at word boundaries where it can, anywhere
  // where a word alone is wider); line breaks in the text are kept. An empty text has no line.
  virtual std::vector<PdfTextLine> wrap(const QString& text, const PdfFont& font, double width) = 0;
  // One line with the top-left corner of its box at `topLeft`.
  virtual void drawText(const PdfTextLine& line, const PdfFont& font, const QColor& colour,
                        QPointF topLeft) = 0;

  virtual void strokeLine(QPointF from, QPointF to, double width, const QColor& colour) = 0;
  virtual void fillRect(const QRectF& rect, const QColor& colour) = 0;
  // Non-zero winding fill.
  virtual void fillPath(const QPainterPath& path, const QColor& colour) = 0;
  virtual void strokePath(const QPainterPath& path, double width, const QColor& colour) = 0;

  // Everything drawn until unclip() is cut to the rectangle.
  virtual void clipTo(const QRectF& rect) = 0;
  virtual void unclip() = 0;
};

}  // namespace kivo
