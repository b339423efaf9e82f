#pragma once

#include "design/ItemListLayout.h"

#include <QRectF>

#include <functional>
#include <span>
#include <vector>

namespace kivo {

// Lays its children side by side, sharing the width, when it is at least `breakpoint` wide,
// and stacks them at full width when it is narrower. Row children are all as tall as the
// tallest; the layout answers its height for a width (height-for-width).
class AdaptiveRowLayout : public ItemListLayout {
 public:
  // A child as the layout sees it: the width it takes when offered kUnbounded (a child that
  // takes kFlexible or more grows to whatever it is offered) and its height at a width.
  struct Child {
    double idealWidth = 0;
    std::function<double(double)> heightForWidth;
  };
  static constexpr double kUnbounded = 100000;
  static constexpr double kFlexible = 50000;
  // The width assumed when none is proposed.
  static constexpr double kDefaultWidth = 900;

  // One width per child, in child order, sharing `total` less the gaps; never negative.
  static std::vector<double> widths(std::span<const double> idealWidths, double total, double spacing);
  // One rectangle per child, relative to the layout's top-left corner.
  static std::vector<QRectF> frames(std::span<const Child> children, double width, double spacing,
                                    double breakpoint);

  // With `scalesWithDensity` the spacing is multiplied by the window's density at every pass.
  AdaptiveRowLayout(double spacing, double breakpoint, bool scalesWithDensity, QWidget* parent = nullptr);

  double effectiveSpacing() const;
  double breakpoint() const { return breakpoint_; }

  QSize sizeHint() const override;
  QSize minimumSize() const override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  void setGeometry(const QRect& rect) override;
  void invalidate() override;

 private:
  std::vector<QLayoutItem*> visibleItems() const;
  std::vector<Child> children(const std::vector<QLayoutItem*>& items) const;
  const std::vector<QRectF>& framesFor(int width) const;

  double spacing_;
  double breakpoint_;
  bool scalesWithDensity_;
  // Qt asks for the same width many times per pass; forgotten on invalidate() and when the
  // density changes the spacing.
  mutable int cachedWidth_ = -1;
  mutable double cachedSpacing_ = -1;
  mutable std::vector<QRectF> cachedFrames_;
};

}  // namespace kivo
