#pragma once

#include "pdf/PdfCanvas.h"

#include <QFont>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <memory>

class QIODevice;

namespace kivo {

// A PDF document on a device: US Letter at 72 dots per inch (one unit is one point), no page
// margins, DejaVu Sans. Flips the report's upward y onto the painter's downward y and measures
// text on the PDF device itself, so wrapping matches what is drawn.
class PdfWriterCanvas final : public PdfCanvas {
 public:
  static constexpr double kPageWidth = 612;
  static constexpr double kPageHeight = 792;

  // Opens the document and its first page; isOpen() says whether that worked.
  PdfWriterCanvas(QIODevice* device, const QString& title, const QString& creator);
  ~PdfWriterCanvas() override;

  bool isOpen() const { return open; }
  // Closes the document; false when it was never open or could not be written out.
  bool finish();

  void beginPage() override;
  std::vector<PdfTextLine> wrap(const QString& text, const PdfFont& font, double width) override;
  void drawText(const PdfTextLine& line, const PdfFont& font, const QColor& colour, QPointF topLeft) override;
  void strokeLine(QPointF from, QPointF to, double width, const QColor& colour) override;
  void fillRect(const QRectF& rect, const QColor& colour) override;
  void fillPath(const QPainterPath& path, const QColor& colour) override;
  void strokePath(const QPainterPath& path, double width, const QColor& colour) override;
  void clipTo(const QRectF& rect) override;
  void unclip() override;

 private:
  struct Face {
    PdfFont font;
    QFont qfont;
    double ascent = 0;
  };
  const Face& face(const PdfFont& font);
  QRectF toDevice(const QRectF& rect) const;

  QPdfWriter writer;
  QPainter painter;
  QTransform flip;
  std::vector<Face> faces;
  bool open = false;
  bool firstPageUsed = false;
};

}  // namespace kivo
