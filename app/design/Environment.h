#pragma once

#include "settings/DensityChoice.h"

#include <QEvent>

class QWidget;

namespace kivo::Environment {

// Density and the colour-blind-safe flag are set on each window's root and read by every
// component through its parent chain, so no view reads the settings for them.

// The nearest ancestor's (or the widget's own) density; 1.0 when none is set.
double density(const QWidget* widget);
// The nearest ancestor's (or the widget's own) flag; false when none is set.
bool colorBlindSafe(const QWidget* widget);

// Sets both on the root, then sends changedEventType() to the root and every descendant and
// has the tree relayout and repaint. Components whose spacing follows the density re-read it
// on that event and on QEvent::ParentChange.
void apply(QWidget* root, double density, bool colorBlindSafe);

// Compact 0.72, regular 1.0, comfortable 1.25 (the settings' DensityChoice).
double densityValue(DensityChoice choice);

QEvent::Type changedEventType();

}  // namespace kivo::Environment
