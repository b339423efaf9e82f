#include "settings/MenuBarItem.h"

#include "metrics/RawValueTable.h"
#include "texts/Localized.h"

namespace kivo {

namespace {
constexpr auto kTable = rawValueTable<MenuBarItem>({{MenuBarItem::cpu, "cpu"},
                                                    {MenuBarItem::memory, "memory"},
                                                    {MenuBarItem::network, "network"},
                                                    {MenuBarItem::disk, "disk"},
                                                    {MenuBarItem::battery, "battery"}});
}  // namespace

namespace MenuBarItems {
std::span<const MenuBarItem> allCases() {
  return kTable.allCases();
}
QString rawValue(MenuBarItem value) {
  return kTable.rawString(value);
}
std::optional<MenuBarItem> fromRawValue(QStringView raw) {
  return kTable.fromRawValue(raw);
}
QJsonValue toJson(MenuBarItem value) {
  return kTable.toJson(value);
}
std::optional<MenuBarItem> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}
}  // namespace MenuBarItems

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
