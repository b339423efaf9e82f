#include "design/ItemListLayout.h"

namespace kivo {

ItemListLayout::ItemListLayout(QWidget* parent) : QLayout(parent) {
  setContentsMargins(0, 0, 0, 0);
}

ItemListLayout::~ItemListLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void ItemListLayout::addItem(QLayoutItem* item) {
  items_.append(item);
  invalidate();
}

int ItemListLayout::count() const {
  return static_cast<int>(items_.size());
}

QLayoutItem* ItemListLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* ItemListLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  QLayoutItem* item = items_.takeAt(index);
  invalidate();
  return item;
}

}  // namespace kivo
