#include "settings/MenuBarItem.h"

#include "texts/Localized.h"

namespace kivo {

QString MenuBarItems::title(MenuBarItem value) {
  switch (value) {
    case MenuBarItem::cpu:
      return tr("CPU");
    case MenuBarItem::memory:
      return tr("Memory");
    case MenuBarItem::network:
      return tr("Network");
    case MenuBarItem::disk:
      return tr("Disk activity");
    case MenuBarItem::battery:
      return tr("Battery");
  }
  return tr("CPU");
}

}  // namespace kivo
