#include "design/MemoryBar.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/Environment.h"

#include <QPainter>
#include <QPainterPath>

namespace kivo {

MemoryBar::MemoryBar(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(kHeight);
  Accessibility::hideDecoration(this);  // the rows beside it say the same in words
}

void MemoryBar::setMemory(const MemorySample& memory) {
  if (memory == memory_) return;
  memory_ = memory;
  update();
}

std::array<DynamicColor, 4> MemoryBar::colors(bool colorBlindSafe) {
  if (colorBlindSafe)
    return {{{0x007A5A, 0x009E73}, {0xB07800, 0xE69F00}, {0xAA4499, 0xCC79A7}, {0x2A7FB8, 0x88CCEE}}};
  return {{{0x059669, 0x34D399}, {0xC2620A, 0xFBBF24}, {0x7C3AED, 0xA78BFA}, {0x0891B2, 0x22D3EE}}};
}

std::array<QColor, 4> MemoryBar::resolvedColors(bool colorBlindSafe, bool dark) {
  const std::array<DynamicColor, 4> dynamic = colors(colorBlindSafe);
  std::array<QColor, 4> resolved;
  for (std::size_t i = 0; i < resolved.size(); ++i) resolved[i] = dynamic[i].resolve(dark);
  resolved[3].setAlphaF(kCachedOpacity);
  return resolved;
}

std::vector<SegmentBar::Segment> MemoryBar::segments(const MemorySample& memory, bool colorBlindSafe) {
  const std::array<DynamicColor, 4> palette = colors(colorBlindSafe);
  std::vector<SegmentBar::Segment> result;
  result.reserve(4);
  result.push_back({QStringLiteral("app"), static_cast<double>(memory.app), palette[0]});
  result.push_back({QStringLiteral("wired"), static_cast<double>(memory.wired), palette[1]});
  if (memory.compressed) {
    result.push_back({QStringLiteral("compressed"), static_cast<double>(*memory.compressed), palette[2]});
  }
  result.push_back({QStringLiteral("cached"), static_cast<double>(memory.cached), palette[3]});
  return result;
}

void MemoryBar::paint(QPainter& painter, const QRectF& rect, const MemorySample& memory, bool colorBlindSafe,
                      bool dark, const QColor& track) {
  const std::vector<SegmentBar::Segment> parts = segments(memory, colorBlindSafe);
  const std::array<QColor, 4> resolved = resolvedColors(colorBlindSafe, dark);
  const std::vector<QRectF> frames =
      SegmentBar::frames(parts, static_cast<double>(memory.physical), rect.size());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPainterPath capsule;
  capsule.addRoundedRect(rect, rect.height() / 2, rect.height() / 2);
  painter.setClipPath(capsule);
  painter.fillRect(rect, track);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].width() <= 0 || frames[i].left() >= rect.width()) continue;
    // Without a compressed segment, cached moves up one place in the list.
    const std::size_t slot = !memory.compressed && i >= 2 ? i + 1 : i;
    painter.fillRect(frames[i].translated(rect.topLeft()), resolved[slot]);
  }
  painter.restore();
}

QSize MemoryBar::sizeHint() const {
  return {200, kHeight};
}
QSize MemoryBar::minimumSizeHint() const {
  return {0, kHeight};
}

void MemoryBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool dark = Appearance::isDark(this);
  paint(painter, QRectF(0, 0, width(), kHeight), memory_, Environment::colorBlindSafe(this), dark,
        Palette::surfaceRaised.resolve(dark));
}

}  // namespace kivo
