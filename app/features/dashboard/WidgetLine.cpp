#include "features/dashboard/WidgetLine.h"

#include "design/Icons.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {
constexpr qreal kSymbolGap = 6;
}

WidgetLine::WidgetLine(const QFont& leadingFont, DynamicColor leadingColor, const QFont& trailingFont,
                       DynamicColor trailingColor, Qt::TextElideMode elide, QWidget* parent)
    : QWidget(parent),
      leadingFont_(leadingFont),
      leadingColor_(leadingColor),
      trailingFont_(trailingFont),
      trailingColor_(trailingColor),
      elide_(elide) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // A line sits on a card's plain fill and paints that fill itself, so a new text repaints only
  // the line and not the card and page under it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  height_ = std::max(QFontMetricsF(leadingFont_).height(), QFontMetricsF(trailingFont_).height());
}

void WidgetLine::setTexts(const QString& leading, const QString& trailing) {
  if (leading == leading_ && trailing == trailing_) return;
  if (leading != leading_) {
    leading_ = leading;
    leadingWidth_ = QFontMetricsF(leadingFont_).horizontalAdvance(leading_);
    shownRoom_ = -1;
  }
  if (trailing != trailing_) {
    trailing_ = trailing;
    trailingWidth_ = QFontMetricsF(trailingFont_).horizontalAdvance(trailing_);
  }
  setAccessibleName(trailing.isEmpty() ? leading : leading + QStringLiteral(", ") + trailing);
  update();
}

void WidgetLine::setSymbol(const QString& symbol, DynamicColor color) {
  if (symbol == symbol_ && color.light == symbolColor_.light && color.dark == symbolColor_.dark) return;
  symbol_ = symbol;
  symbolColor_ = color;
  update();
}

QSize WidgetLine::sizeHint() const {
  const qreal width = leadingWidth_ + trailingWidth_ + 12 + (symbol_.isEmpty() ? 0 : height_ + kSymbolGap);
  return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height_))};
}

QSize WidgetLine::minimumSizeHint() const {
  return {0, sizeHint().height()};
}

void WidgetLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Palette::surface.resolve(this));
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = rect();
  qreal left = 0;
  if (!symbol_.isEmpty()) {
    const int side =
        static_cast<int>(std::lround(std::min<qreal>(QFontMetricsF(leadingFont_).height(), area.height())));
    const QPixmap icon = Icons::pixmap(symbol_, side, symbolColor_.resolve(this), devicePixelRatioF());
    painter.drawPixmap(QPointF(0, (area.height() - side) / 2), icon);
    left = side + kSymbolGap;
  }
  qreal right = area.width();
  if (!trailing_.isEmpty()) {
    const qreal width = trailingWidth_;
    painter.setFont(trailingFont_);
    painter.setPen(trailingColor_.resolve(this));
    painter.drawText(QRectF(std::max(left, right - width), 0, std::min(width, right - left), area.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, trailing_);
    right -= width + 8;
  }
  if (right > left && !leading_.isEmpty()) {
    const qreal room = right - left;
    if (room != shownRoom_) {
      shownLeading_ = QFontMetricsF(leadingFont_).elidedText(leading_, elide_, room);
      shownRoom_ = room;
    }
    painter.setFont(leadingFont_);
    painter.setPen(leadingColor_.resolve(this));
    painter.drawText(QRectF(left, 0, room, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownLeading_);
  }
}

}  // namespace kivo
