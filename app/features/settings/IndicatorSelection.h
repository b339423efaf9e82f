#pragma once

#include "settings/MenuBarItem.h"

#include <QString>

#include <vector>

namespace kivo {

// The tray indicators chosen in the Menu Bar pane.
namespace IndicatorSelection {

// The list after switching one indicator: every occurrence of the item removed, the item added
// when on, then the list rebuilt in the order of all cases, so it is always in that order and
// without duplicates, whatever the stored list looked like.
std::vector<MenuBarItem> toggled(const std::vector<MenuBarItem>& current, MenuBarItem item, bool on);
bool contains(const std::vector<MenuBarItem>& current, MenuBarItem item);

}  // namespace IndicatorSelection

}  // namespace kivo
