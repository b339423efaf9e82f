#include "features/dashboard/FlowGrid.h"

#include <QWidget>
#include <QWidgetItem>

#include <algorithm>
#include <cmath>

namespace kivo {

FlowGrid::Metrics FlowGrid::Metrics::forDensity(double density) {
  if (!std::isfinite(density) || density <= 0) density = 1;
  return {250, 176 * std::max(density, 0.85), 16 * density};
}

FlowGrid::Placement FlowGrid::place(std::span<const int> spans, double width, const Metrics& metrics) {
  Placement result;
  const double w0 = std::isfinite(width) && width > 0 ? width : 0;
  const double m = std::isfinite(metrics.minColumnWidth) ? std::max(metrics.minColumnWidth, 0.0) : 0;
  const double h = std::isfinite(metrics.rowHeight) ? std::max(metrics.rowHeight, 0.0) : 0;
  const double s = std::isfinite(metrics.spacing) ? std::max(metrics.spacing, 0.0) : 0;
  int columns = 1;
  if (m + s > 0) columns = static_cast<int>(std::clamp(std::trunc((w0 + s) / (m + s)), 1.0, 4.0));
  const double column = std::max((w0 - s * (columns - 1)) / columns, 0.0);
  result.columns = columns;
  result.frames.reserve(spans.size());
  int cursor = 0;
  double y = 0;
  // The last card of a row takes the columns its row leaves, so no row ends in an empty gap.
  const auto fillRow = [&] {
    if (cursor > 0 && cursor < columns)
      result.frames.back().setWidth(result.frames.back().width() + (column + s) * (columns - cursor));
  };
  for (int raw : spans) {
    const int span = std::clamp(raw, 1, columns);
    if (cursor + span > columns) {
      fillRow();
      cursor = 0;
      y += h + s;
    }
    result.frames.emplace_back((column + s) * cursor, y, column * span + s * (span - 1), h);
    cursor += span;
  }
  fillRow();
  result.height = spans.empty() ? 0 : y + h;
  return result;
}

FlowGrid::FlowGrid(QWidget* parent) : QLayout(parent) {
  setContentsMargins(0, 0, 0, 0);
}

FlowGrid::~FlowGrid() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void FlowGrid::setMetrics(const Metrics& metrics) {
  if (metrics.minColumnWidth == metrics_.minColumnWidth && metrics.rowHeight == metrics_.rowHeight &&
      metrics.spacing == metrics_.spacing) {
    return;
  }
  metrics_ = metrics;
  invalidate();
}

void FlowGrid::addWidget(QWidget* widget, int span) {
  addChildWidget(widget);
  entries_.append({new QWidgetItem(widget), span});
  invalidate();
}

void FlowGrid::setSpan(QWidget* widget, int span) {
  for (Entry& entry : entries_) {
    if (entry.item->widget() == widget && entry.span != span) {
      entry.span = span;
      invalidate();
    }
  }
}

int FlowGrid::span(QWidget* widget) const {
  for (const Entry& entry : entries_) {
    if (entry.item->widget() == widget) return entry.span;
  }
  return 0;
}

void FlowGrid::setOrder(const QList<QWidget*>& order) {
  QList<Entry> sorted;
  sorted.reserve(entries_.size());
  QList<Entry> rest = entries_;
  for (QWidget* widget : order) {
    for (qsizetype i = 0; i < rest.size(); ++i) {
      if (rest[i].item->widget() == widget) {
        sorted.append(rest.takeAt(i));
        break;
      }
    }
  }
  sorted.append(rest);
  bool same = true;
  for (qsizetype i = 0; i < sorted.size(); ++i) same = same && sorted[i].item == entries_[i].item;
  if (same) return;
  entries_ = sorted;
  // Screen readers follow the order of the parent's children, not the layout's: raising each in
  // turn makes that order the one shown.
  for (const Entry& entry : entries_) {
    if (QWidget* widget = entry.item->widget()) widget->raise();
  }
  invalidate();
}

QList<QWidget*> FlowGrid::widgets() const {
  QList<QWidget*> list;
  for (const Entry& entry : entries_) list.append(entry.item->widget());
  return list;
}

void FlowGrid::addItem(QLayoutItem* item) {
  entries_.append({item, 1});
  invalidate();
}

int FlowGrid::count() const {
  return static_cast<int>(entries_.size());
}

QLayoutItem* FlowGrid::itemAt(int index) const {
  return index >= 0 && index < entries_.size() ? entries_[index].item : nullptr;
}

QLayoutItem* FlowGrid::takeAt(int index) {
  if (index < 0 || index >= entries_.size()) return nullptr;
  QLayoutItem* item = entries_.takeAt(index).item;
  invalidate();
  return item;
}

Qt::Orientations FlowGrid::expandingDirections() const {
  return Qt::Horizontal;
}

const std::vector<int>& FlowGrid::spans() const {
  spanScratch_.clear();
  for (const Entry& entry : entries_) spanScratch_.push_back(entry.span);
  return spanScratch_;
}

int FlowGrid::heightForWidth(int width) const {
  const std::vector<int>& list = spans();
  return static_cast<int>(std::ceil(place(list, width, metrics_).height));
}

QSize FlowGrid::sizeHint() const {
  const int width = static_cast<int>(kDefaultWidth);
  return {width, heightForWidth(width)};
}

QSize FlowGrid::minimumSize() const {
  return {0, 0};
}

void FlowGrid::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const std::vector<int>& list = spans();
  const Placement placement = place(list, rect.width(), metrics_);
  for (qsizetype i = 0; i < entries_.size(); ++i) {
    const QRectF& frame = placement.frames[static_cast<std::size_t>(i)];
    // Rounded edges so neighbouring cells keep exactly the spacing between them.
    const int left = rect.x() + static_cast<int>(std::lround(frame.left()));
    const int right = rect.x() + static_cast<int>(std::lround(frame.right()));
    const int top = rect.y() + static_cast<int>(std::lround(frame.top()));
    const int bottom = rect.y() + static_cast<int>(std::lround(frame.bottom()));
    entries_[i].item->setGeometry(QRect(QPoint(left, top), QSize(right - left, bottom - top)));
  }
}

}  // namespace kivo
