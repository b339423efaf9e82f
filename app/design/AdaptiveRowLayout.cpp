#include "design/AdaptiveRowLayout.h"

#include "design/Environment.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kivo {

std::vector<double> AdaptiveRowLayout::widths(std::span<const double> idealWidths, double total,
                                              double spacing) {
  const std::size_t n = idealWidths.size();
  std::vector<double> result(n, 0.0);
  if (n == 0) return result;
  if (!std::isfinite(total)) total = 0;
  const double count = static_cast<double>(n);
  const double available = total - spacing * (count - 1);
  const double share = available / count;
  double remaining = available;
  std::size_t flexible = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (idealWidths[i] >= kFlexible) {
      ++flexible;
    } else {
      result[i] = std::min(idealWidths[i], share);
      remaining -= result[i];
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (flexible > 0) {
      if (idealWidths[i] >= kFlexible) result[i] = std::max(remaining / static_cast<double>(flexible), 0.0);
    } else {
      result[i] += remaining / count;
    }
    // Many children in a narrow row leave less than nothing to share.
    result[i] = std::max(result[i], 0.0);
  }
  return result;
}

std::vector<QRectF> AdaptiveRowLayout::frames(std::span<const Child> children, double width, double spacing,
                                              double breakpoint) {
  std::vector<QRectF> result;
  if (children.empty()) return result;
  result.reserve(children.size());
  if (width >= breakpoint) {
    std::vector<double> ideals;
    ideals.reserve(children.size());
    for (const Child& child : children) ideals.push_back(child.idealWidth);
    const std::vector<double> shared = widths(ideals, width, spacing);
    double rowHeight = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
      rowHeight = std::max(rowHeight, children[i].heightForWidth(shared[i]));
    }
    double x = 0;
    for (double childWidth : shared) {
      result.emplace_back(x, 0, childWidth, rowHeight);
      x += childWidth + spacing;
    }
    return result;
  }
  double y = 0;
  for (const Child& child : children) {
    const double height = child.heightForWidth(width);
    result.emplace_back(0, y, width, height);
    y += height + spacing;
  }
  return result;
}

AdaptiveRowLayout::AdaptiveRowLayout(double spacing, double breakpoint, bool scalesWithDensity,
                                     QWidget* parent)
    : ItemListLayout(parent),
      spacing_(spacing),
      breakpoint_(breakpoint),
      scalesWithDensity_(scalesWithDensity) {}

double AdaptiveRowLayout::effectiveSpacing() const {
  return scalesWithDensity_ ? spacing_ * Environment::density(parentWidget()) : spacing_;
}

std::vector<QLayoutItem*> AdaptiveRowLayout::visibleItems() const {
  std::vector<QLayoutItem*> visible;
  for (QLayoutItem* item : items()) {
    if (!item->isEmpty()) visible.push_back(item);
  }
  return visible;
}

std::vector<AdaptiveRowLayout::Child> AdaptiveRowLayout::children(
    const std::vector<QLayoutItem*>& items) const {
  std::vector<Child> result;
  result.reserve(items.size());
  for (QLayoutItem* item : items) {
    // A child that may expand takes what it is offered; any other keeps its preferred width.
    const bool grows = item->expandingDirections() & Qt::Horizontal;
    const double maximum = item->maximumSize().width();
    const double ideal =
        grows ? std::min(kUnbounded, maximum) : std::min<double>(item->sizeHint().width(), maximum);
    result.push_back({ideal, [item](double width) {
                        const int w = static_cast<int>(std::lround(width));
                        const int h =
                            item->hasHeightForWidth() ? item->heightForWidth(w) : item->sizeHint().height();
                        return static_cast<double>(
                            std::clamp(h, item->minimumSize().height(),
                                       std::max(item->minimumSize().height(), item->maximumSize().height())));
                      }});
  }
  return result;
}

const std::vector<QRectF>& AdaptiveRowLayout::framesFor(int width) const {
  const double spacing = effectiveSpacing();
  if (width != cachedWidth_ || spacing != cachedSpacing_) {
    const std::vector<Child> all = children(visibleItems());
    cachedFrames_ = frames(all, width, spacing, breakpoint_);
    cachedWidth_ = width;
    cachedSpacing_ = spacing;
  }
  return cachedFrames_;
}

int AdaptiveRowLayout::heightForWidth(int width) const {
  const QMargins margins = contentsMargins();
  double bottom = 0;
  for (const QRectF& frame : framesFor(std::max(width - margins.left() - margins.right(), 0))) {
    bottom = std::max(bottom, frame.bottom());
  }
  return static_cast<int>(std::ceil(bottom)) + margins.top() + margins.bottom();
}

QSize AdaptiveRowLayout::sizeHint() const {
  const int width = static_cast<int>(kDefaultWidth);
  return {width, heightForWidth(width)};
}

QSize AdaptiveRowLayout::minimumSize() const {
  // Below the breakpoint every child gets the full width, so the row needs the widest minimum.
  int width = 0;
  for (QLayoutItem* item : visibleItems()) width = std::max(width, item->minimumSize().width());
  const QMargins margins = contentsMargins();
  return {width + margins.left() + margins.right(), 0};
}

Qt::Orientations AdaptiveRowLayout::expandingDirections() const {
  return Qt::Horizontal;
}

void AdaptiveRowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const QRect inner = rect.marginsRemoved(contentsMargins());
  const std::vector<QLayoutItem*> items = visibleItems();
  const std::vector<QRectF> placed = framesFor(inner.width());  // a copy: placing may relayout
  for (std::size_t i = 0; i < items.size() && i < placed.size(); ++i) {
    const QRectF& frame = placed[i];
    // Round the edges, not the sizes, so neighbours keep their gaps and the row its width.
    const int left = static_cast<int>(std::lround(frame.left()));
    const int top = static_cast<int>(std::lround(frame.top()));
    const int right = static_cast<int>(std::lround(frame.right()));
    const int bottom = static_cast<int>(std::lround(frame.bottom()));
    // A child that cannot grow to its frame keeps the frame's top-leading corner.
    const QSize size = QSize(right - left, bottom - top).boundedTo(items[i]->maximumSize());
    items[i]->setGeometry(QRect(QPoint(inner.x() + left, inner.y() + top), size));
  }
}

void AdaptiveRowLayout::invalidate() {
  cachedWidth_ = -1;
  cachedFrames_.clear();
  QLayout::invalidate();
}

}  // namespace kivo
