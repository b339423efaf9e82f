#include "design/Readout.h"

#include "texts/Localized.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {
const QString kDash = QStringLiteral("—");
}

Readout::Readout(std::optional<QString> value, std::optional<QString> captionKey, qreal size,
                 DynamicColor color, QWidget* parent)
    : QWidget(parent),
      value_(value.value_or(kDash)),
      size_(std::isfinite(size) && size > 0 ? size : 13),
      color_(color) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  font_ = valueFont(size_);
  const QFontMetricsF metrics(font_);
  valueWidth_ = metrics.horizontalAdvance(value_);
  valueHeight_ = metrics.height();
  measureCaption(captionKey ? translated(*captionKey) : QString());
  refreshAccessibility();
}

void Readout::measureCaption(QString caption) {
  caption_ = std::move(caption);
  captionWidth_ = 0;
  captionHeight_ = 0;
  if (caption_.isEmpty()) return;
  const QFontMetricsF captionMetrics(Typeface::caption());
  captionWidth_ = captionMetrics.horizontalAdvance(caption_);
  captionHeight_ = captionMetrics.height();
}

void Readout::setCaption(const QString& caption) {
  if (caption == caption_) return;
  measureCaption(caption);
  refreshAccessibility();
  updateGeometry();
  update();
}

void Readout::setValue(std::optional<QString> value) {
  QString next = value.value_or(kDash);
  if (next == value_) return;
  const QSize before = sizeHint();
  // Digits are all one width, so a figure that differs only in its digits keeps the width
  // measured last: most ticks then lay out no text at all.
  if (!sameButDigits(next, value_)) valueWidth_ = QFontMetricsF(font_).horizontalAdvance(next);
  value_ = std::move(next);
  refreshAccessibility();
  // A figure as wide as the last one (digits are all one width) leaves the layout as it is.
  if (sizeHint() != before) updateGeometry();
  update();
}

void Readout::setColor(DynamicColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

bool Readout::sameButDigits(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    const QChar x = a[i], y = b[i];
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (x != y && !(digit(x) && digit(y))) return false;
  }
  return true;
}

qreal Readout::fittedSize(qreal size, qreal naturalWidth, qreal available) {
  if (!std::isfinite(size) || size <= 0) return size;
  if (!std::isfinite(naturalWidth) || !std::isfinite(available) || naturalWidth <= available ||
      naturalWidth <= 0)
    return size;
  const qreal scale = std::max(available, 0.0) / naturalWidth;
  return size * std::max(scale, kMinimumScale);
}

QFont Readout::valueFont(qreal size) const {
  QFont font = Typeface::system(size, QFont::DemiBold);
  return font;
}

void Readout::refreshAccessibility() {
  setAccessibleName(caption_.isEmpty() ? value_ : caption_ + QStringLiteral(", ") + value_);
}

QSize Readout::sizeHint() const {
  qreal width = valueWidth_;
  qreal height = valueHeight_;
  if (!caption_.isEmpty()) {
    width = std::max(width, captionWidth_);
    height += kSpacing + captionHeight_;
  }
  return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QSize Readout::minimumSizeHint() const {
  const QSize hint = sizeHint();
  return {static_cast<int>(std::ceil(hint.width() * kMinimumScale)) / 2, hint.height()};
}

void Readout::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const qreal available = width();
  painter.setPen(color_.resolve(this));
  // The figure keeps its line height at full size, so shrinking does not move the caption.
  const QRectF line(0, 0, available, valueHeight_);
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
  if (valueWidth_ <= available) {
    // It fits at full size: nothing to shrink or cut.
    painter.setFont(font_);
    painter.drawText(line, flags, value_);
  } else {
    const QFont font = valueFont(fittedSize(size_, valueWidth_, available));
    painter.setFont(font);
    painter.drawText(line, flags, QFontMetricsF(font).elidedText(value_, Qt::ElideRight, available));
  }
  if (!caption_.isEmpty()) {
    painter.setFont(Typeface::caption());
    painter.setPen(Palette::textSecondary.resolve(this));
    const QString shown =
        captionWidth_ <= available
            ? caption_
            : QFontMetricsF(Typeface::caption()).elidedText(caption_, Qt::ElideRight, available);
    painter.drawText(QRectF(0, valueHeight_ + kSpacing, available, captionHeight_), flags, shown);
  }
}

}  // namespace kivo
