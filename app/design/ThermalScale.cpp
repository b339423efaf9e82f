#include "design/ThermalScale.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/Tokens.h"

#include <QPainter>

#include <algorithm>

namespace kivo {

namespace {
constexpr int kCapsules = 4;
constexpr double kSpacing = 3;
constexpr double kHeight = 6;
}  // namespace

ThermalScale::ThermalScale(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  Accessibility::hideDecoration(this);  // the readout beside it names the level
}

void ThermalScale::setLevel(std::optional<ThermalLevel> level) {
  if (level == level_) return;
  level_ = level;
  update();
}

int ThermalScale::litCount(std::optional<ThermalLevel> level) {
  return level ? std::clamp(Thermal::rawValue(*level) + 1, 0, kCapsules) : 0;
}

std::vector<QRectF> ThermalScale::capsuleFrames(const QRectF& rect) {
  const double width = std::max((rect.width() - kSpacing * (kCapsules - 1)) / kCapsules, 0.0);
  const double top = rect.center().y() - kHeight / 2;
  std::vector<QRectF> frames;
  frames.reserve(kCapsules);
  for (int i = 0; i < kCapsules; ++i)
    frames.emplace_back(rect.left() + i * (width + kSpacing), top, width, kHeight);
  return frames;
}

DynamicColor ThermalScale::tone(ThermalLevel level) {
  switch (level) {
    case ThermalLevel::nominal:
      return Palette::success;
    case ThermalLevel::fair:
      return Palette::textPrimary;
    case ThermalLevel::serious:
      return Palette::warning;
    case ThermalLevel::critical:
      return Palette::danger;
  }
  return Palette::textPrimary;
}

void ThermalScale::paint(QPainter& painter, const QRectF& rect, std::optional<ThermalLevel> level,
                         bool dark) {
  const int lit = litCount(level);
  const QColor on = level ? levelColor(*level, dark) : QColor();
  const QColor off = Palette::surfaceRaised.resolve(dark);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  const std::vector<QRectF> frames = capsuleFrames(rect);
  for (int i = 0; i < kCapsules; ++i) {
    const QRectF& frame = frames[static_cast<std::size_t>(i)];
    const double radius = std::min(frame.width(), frame.height()) / 2;
    painter.setBrush(i < lit ? on : off);
    painter.drawRoundedRect(frame, radius, radius);
  }
  painter.restore();
}

QSize ThermalScale::sizeHint() const {
  return {160, 10};
}
QSize ThermalScale::minimumSizeHint() const {
  return {40, 6};
}

void ThermalScale::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, QRectF(rect()), level_, Appearance::isDark(this));
}

}  // namespace kivo
