#include "design/CardRow.h"

#include "design/AdaptiveRowLayout.h"

namespace kivo {

CardRow::CardRow(QWidget* parent)
    : QWidget(parent), layout_(new AdaptiveRowLayout(kSpacing, kBreakpoint, true, this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CardRow::addWidget(QWidget* child) {
  layout_->addWidget(child);
}

}  // namespace kivo
