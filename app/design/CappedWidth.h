#pragma once

class QWidget;

namespace kivo {

class CardRow;

// A card that keeps to a width range while its row sets the cards side by side, and takes the
// row's whole width once the row stacks them (a narrow card alone on a wide line looks lost).
namespace CappedWidth {

void apply(QWidget* card, CardRow* row, int minimum, int maximum);
// The card's maximum width for a row of this width.
int maximumFor(int rowWidth, double breakpoint, int maximum);

}  // namespace CappedWidth

}  // namespace kivo
