#include "design/FlowLayout.h"

#include <QWidget>

#include <algorithm>

namespace kivo {

FlowLayout::FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent)
    : ItemListLayout(parent), horizontal_(horizontalSpacing), vertical_(verticalSpacing) {}

int FlowLayout::heightForWidth(int width) const {
  return place(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::sizeHint() const {
  int width = 0;
  int height = 0;
  for (QLayoutItem* item : items()) {
    if (item->isEmpty()) continue;
    width += (width > 0 ? horizontal_ : 0) + item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
  }
  return {width, height};
}

QSize FlowLayout::minimumSize() const {
  QSize size;
  for (QLayoutItem* item : items())
    if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
  return size;
}

void FlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  place(rect, true);
}

int FlowLayout::place(const QRect& rect, bool apply) const {
  int top = rect.y();
  int x = rect.x();
  int lineHeight = 0;
  QList<QLayoutItem*> line;
  auto closeLine = [&] {
    if (apply) {
      for (QLayoutItem* item : line) {
        const QSize size = item->sizeHint();
        const QRect at = item->geometry();
        item->setGeometry(QRect(QPoint(at.x(), top + (lineHeight - size.height()) / 2), size));
      }
    }
    line.clear();
  };
  for (QLayoutItem* item : items()) {
    if (item->isEmpty()) continue;
    const QSize size = item->sizeHint();
    if (!line.isEmpty() && x + size.width() > rect.right() + 1) {
      closeLine();
      top += lineHeight + vertical_;
      x = rect.x();
      lineHeight = 0;
    }
    if (apply) item->setGeometry(QRect(QPoint(x, top), size));
    line.append(item);
    x += size.width() + horizontal_;
    lineHeight = std::max(lineHeight, size.height());
  }
  closeLine();
  return top + lineHeight - rect.y();
}

}  // namespace kivo
