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

Readout::Readout(std::optional<QString> value, std::optional<QString> captionKey, qreal size, DynamicColor color,
                 QWidget* parent)
    : QWidget(parent),
      value_(value.value_or(kDash)),
      caption_(captionKey ? translated(*captionKey) : QString()),
      size_(std::isfinite(size) && size > 0 ? size : 13),
      color_(color) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  refreshAccessibility();
}

void Readout::setValue(std::optional<QString> value) {
  const QString next = value.value_or(kDash);
  if (next == value_) return;
  value_ = next;
  refreshAccessibility();
  updateGeometry();
  update();
}

void Readout::setColor(DynamicColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

qreal Readout::fittedSize(qreal size, qreal naturalWidth, qreal available) {
  if (!std::isfinite(size) || size <= 0) return size;
  if (!std::isfinite(naturalWidth) || !std::isfinite(available) || naturalWidth <= available || naturalWidth <= 0)
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
  const QFontMetricsF valueMetrics(valueFont(size_));
  qreal width = valueMetrics.horizontalAdvance(value_);
  qreal height = valueMetrics.height();
  if (!caption_.isEmpty()) {
    const QFontMetricsF captionMetrics(Typeface::caption());
    width = std::max(width, captionMetrics.horizontalAdvance(caption_));
    height += kSpacing + captionMetrics.height();
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
  const QFontMetricsF natural(valueFont(size_));
  const qreal fitted = fittedSize(size_, natural.horizontalAdvance(value_), available);
  const QFont font = valueFont(fitted);
  const QFontMetricsF metrics(font);
  const QString text = metrics.elidedText(value_, Qt::ElideRight, available);
  // The figure keeps its line height at full size, so shrinking does not move the caption.
  const qreal lineHeight = natural.height();
  painter.setFont(font);
  painter.setPen(color_.resolve(this));
  painter.drawText(QRectF(0, 0, available, lineHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  if (!caption_.isEmpty()) {
    const QFontMetricsF captionMetrics(Typeface::caption());
    painter.setFont(Typeface::caption());
    painter.setPen(Palette::textSecondary.resolve(this));
    painter.drawText(QRectF(0, lineHeight + kSpacing, available, captionMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     captionMetrics.elidedText(caption_, Qt::ElideRight, available));
  }
}

}  // namespace kivo
