#include "features/settings/IndicatorSelection.h"

#include "texts/Localized.h"

#include <algorithm>

namespace kivo::IndicatorSelection {

std::vector<MenuBarItem> toggled(const std::vector<MenuBarItem>& current, MenuBarItem item, bool on) {
  std::vector<MenuBarItem> kept;
  for (MenuBarItem existing : current) {
    if (existing != item) kept.push_back(existing);
  }
  if (on) kept.push_back(item);
  std::vector<MenuBarItem> ordered;
  for (MenuBarItem candidate : MenuBarItems::allCases()) {
    if (contains(kept, candidate)) ordered.push_back(candidate);
  }
  return ordered;
}

bool contains(const std::vector<MenuBarItem>& current, MenuBarItem item) {
  return std::find(current.begin(), current.end(), item) != current.end();
}

}  // namespace kivo::IndicatorSelection
