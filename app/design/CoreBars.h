#pragma once

#include "collectors/CPUSample.h"
#include "design/ChartColor.h"
#include "design/Tokens.h"

#include <QWidget>

#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace kivo {

// One bar per logical CPU, sharing the width, each as high as the core is busy (user + system)
// with a 2-pixel sliver for an idle core. Spoken as "CPU cores" with one "N: P %" per core.
class CoreBars : public QWidget {
  Q_OBJECT

 public:
  explicit CoreBars(QWidget* parent = nullptr);

  void setCores(std::span<const CPULoad> cores);
  void setColor(const ChartColor& color);
  // Bars on a plain fill (a card's surface) paint that fill themselves and are opaque, so new
  // loads repaint only the bars and not everything under them.
  void setBackdrop(std::optional<DynamicColor> color);
  const std::vector<CPULoad>& cores() const { return cores_; }

  // Bars 3 apart sharing the width; none narrower than 0.
  static std::vector<QRectF> barFrames(std::size_t count, const QRectF& rect);
  // The filled height of a core in a bar of this height: busy share of it, at least 2, at most
  // all of it; a load that is not finite shows only the sliver.
  static double fillHeight(const CPULoad& core, double height);
  // "1: 37 %, 2: 5 %"; a load that is not finite reads "—".
  static QString accessibilityValue(std::span<const CPULoad> cores);
  static void paint(QPainter& painter, const QRectF& rect, std::span<const CPULoad> cores, const QColor& bar,
                    const QColor& track, const QColor& trackEdge = QColor());

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<CPULoad> cores_;
  ChartColor color_ = ChartColor::of(MetricFamily::cpu);
  std::optional<DynamicColor> backdrop_;
};

}  // namespace kivo
