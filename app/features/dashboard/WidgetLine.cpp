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
}

void WidgetLine::setTexts(const QString& leading, const QString& trailing) {
  if (leading == leading_ && trailing == trailing_) return;
  leading_ = leading;
  trailing_ = trailing;
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
  const QFontMetricsF leading(leadingFont_);
  const QFontMetricsF trailing(trailingFont_);
  const qreal height = std::max(leading.height(), trailing.height());
  const qreal width = leading.horizontalAdvance(leading_) + trailing.horizontalAdvance(trailing_) + 12 +
                      (symbol_.isEmpty() ? 0 : height + kSymbolGap);
  return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize WidgetLine::minimumSizeHint() const { return {0, sizeHint().height()}; }

void WidgetLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = rect();
  qreal left = 0;
  if (!symbol_.isEmpty()) {
    const int side = static_cast<int>(std::lround(std::min<qreal>(QFontMetricsF(leadingFont_).height(), area.height())));
    const QPixmap icon = Icons::pixmap(symbol_, side, symbolColor_.resolve(this), devicePixelRatioF());
    painter.drawPixmap(QPointF(0, (area.height() - side) / 2), icon);
    left = side + kSymbolGap;
  }
  qreal right = area.width();
  if (!trailing_.isEmpty()) {
    const QFontMetricsF metrics(trailingFont_);
    const qreal width = metrics.horizontalAdvance(trailing_);
    painter.setFont(trailingFont_);
    painter.setPen(trailingColor_.resolve(this));
    painter.drawText(QRectF(std::max(left, right - width), 0, std::min(width, right - left), area.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, trailing_);
    right -= width + 8;
  }
  if (right > left && !leading_.isEmpty()) {
    const QFontMetricsF metrics(leadingFont_);
    painter.setFont(leadingFont_);
    painter.setPen(leadingColor_.resolve(this));
    painter.drawText(QRectF(left, 0, right - left, area.height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(leading_, elide_, right - left));
  }
}

}  // namespace kivo
