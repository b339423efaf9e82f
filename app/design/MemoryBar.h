#pragma once

#include "collectors/MemorySample.h"
#include "design/SegmentBar.h"
#include "design/Tokens.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <vector>

class QPainter;

namespace kivo {

// The partition of physical memory as a bar of segments 10 high: app, wired, compressed and cached
// memory left to right, free memory the empty rest. Without a compressed figure (no zswap and
// no zram) that segment is left out rather than drawn as 0.
class MemoryBar : public QWidget {
  Q_OBJECT

 public:
  explicit MemoryBar(QWidget* parent = nullptr);

  void setMemory(const MemorySample& memory);

  // The colours of app, wired, compressed and cached memory, opaque; the memory page uses the
  // same ones for its legend.
  static std::array<DynamicColor, 4> colors(bool colorBlindSafe);
  // Cached memory is drawn translucent.
  static constexpr float kCachedOpacity = 0.45f;
  // The four colours resolved for painting, cached at its opacity.
  static std::array<QColor, 4> resolvedColors(bool colorBlindSafe, bool dark);
  // The bar's segments over a total of `physical` (colours as in colors()).
  static std::vector<SegmentBar::Segment> segments(const MemorySample& memory, bool colorBlindSafe);
  static void paint(QPainter& painter, const QRectF& rect, const MemorySample& memory, bool colorBlindSafe,
                    bool dark, const QColor& track);

  static constexpr int kHeight = 10;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MemorySample memory_;
};

}  // namespace kivo
