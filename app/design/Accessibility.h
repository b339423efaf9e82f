#pragma once

#include <QAccessible>
#include <QString>

class QLabel;
class QLineEdit;
class QMenuBar;
class QWidget;

namespace kivo::Accessibility {

// Names a control after the label shown beside it: the label becomes the control's buddy and
// its text the control's name. Screen readers on Linux take a combo box's name from that label
// relation (its own name is its current value), so a combo box needs the label as a sibling.
void labelWith(QWidget* control, QLabel* label);

// Names a field that has no label after its placeholder, which is otherwise only its description.
void nameAfterPlaceholder(QLineEdit* field);

// Gives a widget a role its class lacks: a top-level QWidget is otherwise a "filler", a
// checkable row a "check box".
void setRole(QWidget* widget, QAccessible::Role role);

// Leaves a decorative widget (an icon beside a title) out of the tree its parent shows, where
// the parent is a plain QWidget or QFrame (a row, a header), as it always is here.
void hideDecoration(QWidget* decoration);

// Return or Enter presses the focused push or tool button of the window, as in a dialog; Space
// already does. Buttons that toggle and controls that take Return themselves are left alone.
void pressWithReturn(QWidget* window);

// F10 opens the bar's first menu, as it does in other desktop programs; the menus' own mnemonics
// (Alt+F) and Alt alone come with the bar and the style.
void openWithF10(QMenuBar* bar);

}  // namespace kivo::Accessibility
