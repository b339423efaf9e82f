#include "design/FocusOrder.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace kivo::FocusOrder {

namespace {

bool isTabStop(const QWidget* widget) {
  return (widget->focusPolicy() & Qt::TabFocus) != 0 && widget->focusProxy() == nullptr;
}

// The shown child widgets in reading order: sorted by their top, gathered into lines of
// children whose heights overlap, each line left to right.
std::vector<QWidget*> readingOrder(const QWidget* parent) {
  std::vector<QWidget*> shown;
  for (QObject* object : parent->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child != nullptr && !child->isWindow() && !child->isHidden()) shown.push_back(child);
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
  std::vector<QWidget*> ordered;
  ordered.reserve(shown.size());
  for (std::size_t start = 0; start < shown.size();) {
    std::size_t end = start + 1;
    int bottom = shown[start]->geometry().bottom();
    while (end < shown.size() && shown[end]->y() <= bottom) {
      bottom = std::max(bottom, shown[end]->geometry().bottom());
      ++end;
    }
    std::stable_sort(shown.begin() + static_cast<std::ptrdiff_t>(start),
                     shown.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    ordered.insert(ordered.end(), shown.begin() + static_cast<std::ptrdiff_t>(start),
                   shown.begin() + static_cast<std::ptrdiff_t>(end));
    start = end;
  }
  return ordered;
}

void chain(const QWidget* parent, QWidget*& previous) {
  for (QWidget* child : readingOrder(parent)) {
    if (isTabStop(child)) {
      if (previous != nullptr) QWidget::setTabOrder(previous, child);
      previous = child;
    }
    chain(child, previous);
  }
}

}  // namespace

void followScreen(QWidget* root) {
  if (root == nullptr) return;
  QWidget* previous = isTabStop(root) ? root : nullptr;
  chain(root, previous);
}

}  // namespace kivo::FocusOrder
