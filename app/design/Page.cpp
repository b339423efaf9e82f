#include "design/Page.h"

#include "design/ChartPainting.h"
#include "design/Environment.h"
#include "design/ItemListLayout.h"
#include "design/Tokens.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

// The page's column: children top to bottom at the column's full width, each at its height
// for that width. Padding and spacing follow the density at every pass.
class ColumnLayout : public ItemListLayout {
 public:
  explicit ColumnLayout(QWidget* parent) : ItemListLayout(parent) {}

  Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
  QSize sizeHint() const override {
    int width = 0;
    for (QLayoutItem* item : items()) width = std::max(width, item->sizeHint().width());
    width = std::min(width + 2 * padding(), Page::kMaxWidth);
    return {width, heightForWidth(width)};
  }
  QSize minimumSize() const override {
    int width = 0;
    for (QLayoutItem* item : items()) {
      if (!item->isEmpty()) width = std::max(width, item->minimumSize().width());
    }
    return {width + 2 * padding(), 0};
  }
  void setGeometry(const QRect& rect) override {
    QLayout::setGeometry(rect);
    place(rect, true);
  }

 private:
  double density() const { return Environment::density(parentWidget()); }
  int padding() const { return static_cast<int>(std::lround(Page::kPadding * density())); }

  // Lays the children out in `rect` (or only measures); returns the height used.
  int place(const QRect& rect, bool apply) const {
    const int pad = padding();
    const int spacing = static_cast<int>(std::lround(Page::kSpacing * density()));
    const QRect column = Page::columnRect(rect.width()).translated(rect.topLeft());
    const int width = std::max(column.width() - 2 * pad, 0);
    int y = pad;
    bool first = true;
    for (QLayoutItem* item : items()) {
      if (item->isEmpty()) continue;
      if (!first) y += spacing;
      first = false;
      const int wanted = item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
      const int height = std::clamp(wanted, item->minimumSize().height(),
                                    std::max(item->minimumSize().height(), item->maximumSize().height()));
      if (apply) {
        const QSize size = QSize(width, height).boundedTo(item->maximumSize());
        item->setGeometry(QRect(QPoint(column.x() + pad, rect.y() + y), size));
      }
      y += height;
    }
    return y + pad;
  }
};

// The scrolled widget: the canvas colour behind the column.
class PageContent : public QWidget {
 public:
  PageContent() {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the canvas covers every pixel
    new ColumnLayout(this);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::canvas.resolve(this));
  }
};

// A thin capsule over the canvas instead of the style's full scroll bar: the page's scroll
// indicator, and a fraction of the style's painting cost. Dragging and clicking stay the
// scroll bar's own.
class ScrollIndicator : public QScrollBar {
 public:
  explicit ScrollIndicator(Qt::Orientation orientation) : QScrollBar(orientation) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::canvas.resolve(this));
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (slider.isEmpty()) return;
    constexpr double kThickness = 6;
    const bool vertical = orientation() == Qt::Vertical;
    const QRectF handle = vertical ? QRectF(slider.center().x() - kThickness / 2 + 0.5, slider.top() + 2,
                                            kThickness, std::max(slider.height() - 4, 0))
                                   : QRectF(slider.left() + 2, slider.center().y() - kThickness / 2 + 0.5,
                                            std::max(slider.width() - 4, 0), kThickness);
    QColor color = Palette::textTertiary.resolve(this);
    color.setAlphaF(isSliderDown() || underMouse() ? 0.7f : 0.45f);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ChartPainting::translucent(color));
    painter.drawRoundedRect(handle, kThickness / 2, kThickness / 2);
  }
};

}  // namespace

Page::Page(QWidget* parent) : QScrollArea(parent) {
  setVerticalScrollBar(new ScrollIndicator(Qt::Vertical));
  setHorizontalScrollBar(new ScrollIndicator(Qt::Horizontal));
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWidget(new PageContent);
  viewport()->setAutoFillBackground(false);
}

void Page::addWidget(QWidget* child) {
  widget()->layout()->addWidget(child);
}

QWidget* Page::content() const {
  return widget();
}

QRect Page::columnRect(int width) {
  width = std::max(width, 0);
  const int column = std::min(width, kMaxWidth);
  return {(width - column) / 2, 0, column, 0};
}

}  // namespace kivo
