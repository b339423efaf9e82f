#include "design/BareLayout.h"

namespace kivo {

namespace {

template <typename Layout>
Layout* bare(QWidget* parent, std::optional<int> spacing) {
  auto* layout = new Layout(parent);
  layout->setContentsMargins(0, 0, 0, 0);
  if (spacing) layout->setSpacing(*spacing);
  return layout;
}

}  // namespace

QVBoxLayout* bareColumn(QWidget* parent, std::optional<int> spacing) {
  return bare<QVBoxLayout>(parent, spacing);
}

QHBoxLayout* bareRow(QWidget* parent, std::optional<int> spacing) {
  return bare<QHBoxLayout>(parent, spacing);
}

}  // namespace kivo
