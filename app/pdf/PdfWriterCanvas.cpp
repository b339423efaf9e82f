#include "pdf/PdfWriterCanvas.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QTextLayout>

namespace kivo {

namespace {

QFont makeFont(const PdfFont& font) {
  // DejaVu Sans carries every mark the report uses ("—", "→", "·", "•").
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(font.size);
  f.setHintingPreference(QFont::PreferNoHinting);
  switch (font.weight) {
    case PdfWeight::regular:
      f.setWeight(QFont::Normal);
      break;
    case PdfWeight::semibold:
      f.setWeight(QFont::DemiBold);
      break;
    case PdfWeight::bold:
      f.setWeight(QFont::Bold);
      break;
  }
  return f;
}

bool isBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
         c == QChar(0x85) || c == u'\v' || c == u'\f';
}

}  // namespace

PdfWriterCanvas::PdfWriterCanvas(QIODevice* device, const QString& title, const QString& creator)
    : writer(device), flip(1, 0, 0, -1, 0, kPageHeight) {
  writer.setResolution(72);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                   QPageLayout::Point));
  writer.setTitle(title);
  faces.reserve(8);
  writer.setCreator(creator);
  open = painter.begin(&writer);
}

PdfWriterCanvas::~PdfWriterCanvas() {
  if (painter.isActive()) painter.end();
}

bool PdfWriterCanvas::finish() {
  if (!open) return false;
  open = false;
  return painter.end();
}

void PdfWriterCanvas::beginPage() {
  if (!open) return;
  // Beginning to paint opened the first page already.
  if (!firstPageUsed) {
    firstPageUsed = true;
    return;
  }
  painter.setClipping(false);
  writer.newPage();
}

const PdfWriterCanvas::Face& PdfWriterCanvas::face(const PdfFont& font) {
  for (const Face& f : faces)
    if (f.font == font) return f;
  Face f;
  f.font = font;
  f.qfont = makeFont(font);
  f.ascent = QFontMetricsF(f.qfont, &writer).ascent();
  faces.push_back(std::move(f));
  return faces.back();
}

std::vector<PdfTextLine> PdfWriterCanvas::wrap(const QString& text, const PdfFont& font, double width) {
  std::vector<PdfTextLine> lines;
  if (text.isEmpty()) return lines;
  // Every kind of line break becomes the separator the layout breaks at (a CR LF pair is one).
  QString flat = text;
  flat.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  for (QChar& c : flat)
    if (isBreak(c)) c = QChar::LineSeparator;

  QTextLayout layout(flat, face(font).qfont, &writer);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  option.setUseDesignMetrics(true);
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(width);
  }
  layout.endLayout();

  lines.reserve(static_cast<std::size_t>(layout.lineCount()));
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    QString part = flat.mid(line.textStart(), line.textLength());
    while (!part.isEmpty() && (part.back() == QChar::LineSeparator || part.back().isSpace())) part.chop(1);
    lines.push_back(PdfTextLine{std::move(part), line.height()});
  }
  return lines;
}

void PdfWriterCanvas::drawText(const PdfTextLine& line, const PdfFont& font, const QColor& colour,
                               QPointF topLeft) {
  if (!open || line.text.isEmpty()) return;
  const Face& f = face(font);
  painter.setFont(f.qfont);
  painter.setPen(colour);
  painter.drawText(QPointF(topLeft.x(), kPageHeight - topLeft.y() + f.ascent), line.text);
}

void PdfWriterCanvas::strokeLine(QPointF from, QPointF to, double width, const QColor& colour) {
  if (!open) return;
  painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(flip.map(from), flip.map(to));
}

QRectF PdfWriterCanvas::toDevice(const QRectF& rect) const {
  return QRectF(rect.x(), kPageHeight - rect.y() - rect.height(), rect.width(), rect.height());
}

void PdfWriterCanvas::fillRect(const QRectF& rect, const QColor& colour) {
  if (!open) return;
  painter.fillRect(toDevice(rect), colour);
}

void PdfWriterCanvas::fillPath(const QPainterPath& path, const QColor& colour) {
  if (!open) return;
  painter.setTransform(flip);
  if (path.fillRule() == Qt::WindingFill) {
    painter.fillPath(path, colour);
  } else {
    QPainterPath winding = path;
    winding.setFillRule(Qt::WindingFill);
    painter.fillPath(winding, colour);
  }
  painter.resetTransform();
}

void PdfWriterCanvas::strokePath(const QPainterPath& path, double width, const QColor& colour) {
  if (!open) return;
  painter.setTransform(flip);
  painter.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.resetTransform();
}

void PdfWriterCanvas::clipTo(const QRectF& rect) {
  if (!open) return;
  painter.setClipRect(toDevice(rect));
}

void PdfWriterCanvas::unclip() {
  if (!open) return;
  painter.setClipping(false);
}

}  // namespace kivo
