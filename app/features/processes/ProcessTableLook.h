#pragma once

class QAbstractItemDelegate;
class QObject;
class QStyle;

namespace kivo {

// How the process table looks beyond the style's defaults.
namespace ProcessTableLook {

// Draws the app or background symbol (10 px, tertiary text colour resolved when the row is
// painted) before each name.
QAbstractItemDelegate* nameDelegate(QObject* parent);
// The application's style with a gap between right-aligned figures and the left-aligned column
// beside them (CPU time, then User), in the header and in the rows; `parent` owns it and must
// outlive every widget that uses it.
QStyle* columnGapStyle(QObject* parent);

}  // namespace ProcessTableLook

}  // namespace kivo
