#pragma once

#include "pdf/PdfCanvas.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace kivo::test {

// A canvas that remembers what was drawn, page by page, with simple fixed metrics: every
// character is half the font size wide and every line 1.25 times the font size high.
class RecordingCanvas final : public PdfCanvas {
 public:
  enum class Kind { text, line, rect, fillPath, strokePath, clip, unclip };
  struct Op {
    Kind kind = Kind::text;
    int page = 0;
    QString text;
    PdfFont font;
    QColor colour;
    QRectF box;            // page coordinates, y() is the bottom edge; a line's box spans its two ends
    bool clipped = false;  // drawn while a clip was set
    int elements = 0;      // path elements
  };

  static double lineHeight(const PdfFont& font) { return font.size * 1.25; }
  static double charWidth(const PdfFont& font) { return font.size * 0.5; }

  void beginPage() override { ++pages; }

  std::vector<PdfTextLine> wrap(const QString& text, const PdfFont& font, double width) override {
    std::vector<PdfTextLine> out;
    if (text.isEmpty()) return out;
    const auto perLine = static_cast<qsizetype>(std::max(1.0, std::floor(width / charWidth(font))));
    for (const QString& paragraph : text.split(u'\n')) {
      QString current;
      for (QString word : paragraph.split(u' ')) {
        while (word.size() > perLine) {  // a word wider than the line is cut anywhere
          if (!current.isEmpty()) out.push_back({current, lineHeight(font)});
          current.clear();
          out.push_back({word.left(perLine), lineHeight(font)});
          word = word.mid(perLine);
        }
        const QString joined = current.isEmpty() ? word : current + u' ' + word;
        if (joined.size() <= perLine) {
          current = joined;
        } else {
          out.push_back({current, lineHeight(font)});
          current = word;
        }
      }
      out.push_back({current, lineHeight(font)});
    }
    return out;
  }

  void drawText(const PdfTextLine& line, const PdfFont& font, const QColor& colour,
                QPointF topLeft) override {
    Op op = make(Kind::text, colour);
    op.text = line.text;
    op.font = font;
    op.box = QRectF(topLeft.x(), topLeft.y() - line.height, line.text.size() * charWidth(font), line.height);
    ops.push_back(op);
  }
  void strokeLine(QPointF from, QPointF to, double width, const QColor& colour) override {
    Op op = make(Kind::line, colour);
    op.box = QRectF(from, to).normalized();
    op.font.size = width;
    ops.push_back(op);
  }
  void fillRect(const QRectF& rect, const QColor& colour) override {
    Op op = make(Kind::rect, colour);
    op.box = rect;
    ops.push_back(op);
  }
  void fillPath(const QPainterPath& path, const QColor& colour) override {
    Op op = make(Kind::fillPath, colour);
    op.box = path.boundingRect();
    op.elements = path.elementCount();
    ops.push_back(op);
  }
  void strokePath(const QPainterPath& path, double width, const QColor& colour) override {
    Op op = make(Kind::strokePath, colour);
    op.box = path.boundingRect();
    op.elements = path.elementCount();
    op.font.size = width;
    ops.push_back(op);
  }
  void clipTo(const QRectF& rect) override {
    Op op = make(Kind::clip, {});
    op.box = rect;
    ops.push_back(op);
    clip = true;
  }
  void unclip() override {
    ops.push_back(make(Kind::unclip, {}));
    clip = false;
  }

  std::vector<Op> texts() const { return of(Kind::text); }
  std::vector<Op> of(Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }
  // The index of the first text line equal to `text`, or -1.
  int find(const QString& text, std::size_t from = 0) const {
    for (std::size_t i = from; i < ops.size(); ++i)
      if (ops[i].kind == Kind::text && ops[i].text == text) return static_cast<int>(i);
    return -1;
  }

  int pages = 0;
  std::vector<Op> ops;

 private:
  Op make(Kind kind, const QColor& colour) const {
    Op op;
    op.kind = kind;
    op.page = pages;
    op.colour = colour;
    op.clipped = clip;
    return op;
  }
  bool clip = false;
};

}  // namespace kivo::test
