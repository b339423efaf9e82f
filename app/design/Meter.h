#pragma once

#include "design/Tokens.h"

#include <QWidget>

#include <optional>

namespace kivo {

// One fraction as a capsule filled from the leading edge over a raised track. The fill is never
// narrower than the bar is tall, so 0 still shows a dot; an absent fraction shows the track only.
// Hidden from screen readers: callers say the figure in text.
class Meter : public QWidget {
  Q_OBJECT

 public:
  Meter(std::optional<double> fraction, DynamicColor color, qreal height, QWidget* parent = nullptr);

  void setFraction(std::optional<double> fraction);
  void setColor(DynamicColor color);
  std::optional<double> fraction() const { return fraction_; }

  // The fraction that is drawn: 0 for anything not finite or ≤ 0, 1 above 1.
  static double clampedFraction(double fraction);
  // Width of the fill in a bar of the given width and height: max(fraction × width, height),
  // never wider than the bar; a negative or non-finite width or height counts as 0.
  static double fillWidth(double fraction, double width, double height);
  // The narrowest fill: a circle as wide as the bar is tall.
  static double minimumFillWidth(double height);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<double> fraction_;
  DynamicColor color_;
  qreal height_;
};

}  // namespace kivo
