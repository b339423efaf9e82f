#include "design/PressureBadge.h"

#include "design/Appearance.h"
#include "design/Icons.h"
#include "texts/Localized.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace kivo {

namespace {
constexpr double kPadX = 7;
constexpr double kPadY = 3;
constexpr double kIconGap = 4;
constexpr int kIcon = 11;

const QFont& badgeFont() {
  static const QFont font = Typeface::system(11, QFont::DemiBold);
  return font;
}
}  // namespace

PressureBadge::PressureBadge(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAccessibleName(accessibleText(level_));
}

void PressureBadge::setLevel(std::optional<MemoryPressureLevel> level) {
  if (level == level_) return;
  level_ = level;
  setAccessibleName(accessibleText(level_));
  updateGeometry();
  update();
}

QString PressureBadge::text(std::optional<MemoryPressureLevel> level) {
  if (!level) return QStringLiteral("—");
  switch (*level) {
    case MemoryPressureLevel::normal:
      return tr("Normal");
    case MemoryPressureLevel::warning:
      return tr("Warning");
    case MemoryPressureLevel::critical:
      return tr("Critical");
  }
  return QStringLiteral("—");
}

QString PressureBadge::symbol(std::optional<MemoryPressureLevel> level) {
  if (!level) return {};
  return *level == MemoryPressureLevel::normal ? QStringLiteral("checkmark.circle.fill")
                                               : QStringLiteral("exclamationmark.triangle.fill");
}

DynamicColor PressureBadge::tint(std::optional<MemoryPressureLevel> level) {
  if (!level) return Palette::textTertiary;
  switch (*level) {
    case MemoryPressureLevel::normal:
      return Palette::success;
    case MemoryPressureLevel::warning:
      return Palette::warning;
    case MemoryPressureLevel::critical:
      return Palette::danger;
  }
  return Palette::textTertiary;
}

QString PressureBadge::accessibleText(std::optional<MemoryPressureLevel> level) {
  return tr("Memory pressure: ") + text(level);
}

QSizeF PressureBadge::size(std::optional<MemoryPressureLevel> level) {
  const QFontMetricsF metrics(badgeFont());
  double width = metrics.horizontalAdvance(text(level));
  if (!symbol(level).isEmpty()) width += kIcon + kIconGap;
  return {std::ceil(width + 2 * kPadX), std::ceil(metrics.height() + 2 * kPadY)};
}

void PressureBadge::paint(QPainter& painter, const QRectF& rect, std::optional<MemoryPressureLevel> level,
                          bool dark) {
  const QColor color = tint(level).resolve(dark);
  QColor fill = color;
  fill.setAlphaF(0.14f);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  const double radius = rect.height() / 2;
  painter.drawRoundedRect(rect, radius, radius);
  const QRectF inner = rect.adjusted(kPadX, kPadY, -kPadX, -kPadY);
  double x = inner.left();
  const QString name = symbol(level);
  if (!name.isEmpty()) {
    const QPixmap icon =
        Icons::pixmap(name, kIcon, color, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    painter.drawPixmap(QPointF(x, inner.center().y() - kIcon / 2.0), icon);
    x += kIcon + kIconGap;
  }
  painter.setFont(badgeFont());
  painter.setPen(color);
  painter.drawText(QRectF(x, inner.top(), inner.right() - x + 1, inner.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text(level));
  painter.restore();
}

QSize PressureBadge::sizeHint() const {
  return size(level_).toSize();
}

void PressureBadge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, QRectF(QPointF(0, 0), size(level_)), level_, Appearance::isDark(this));
}

}  // namespace kivo
