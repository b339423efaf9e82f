#pragma once

class QWidget;

namespace kivo::FocusOrder {

// Puts the Tab stops under `root` in the order a person reads them on screen: each container's
// children top to bottom, those that share a line left to right, and each child's own stops
// before the next child's. Rows added, moved or shown after the page was built join the chain
// where they appear, not at its end. Hidden widgets keep their place until they show.
void followScreen(QWidget* root);

}  // namespace kivo::FocusOrder
