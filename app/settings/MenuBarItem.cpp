#include "settings/MenuBarItem.h"

#include <array>

namespace kivo {

namespace {
constexpr std::array kCases{MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network, MenuBarItem::disk,
                            MenuBarItem::battery};
constexpr std::array<const char16_t*, kCases.size()> kNames{u"cpu", u"memory", u"network", u"disk",
                                                            u"battery"};
}  // namespace

namespace MenuBarItems {
std::span<const MenuBarItem> allCases() {
  return kCases;
}
QString rawValue(MenuBarItem value) {
  return QString::fromUtf16(kNames[static_cast<std::size_t>(value)]);
}
std::optional<MenuBarItem> fromRawValue(QStringView raw) {
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    if (raw == QStringView(kNames[i])) return kCases[i];
  }
  return std::nullopt;
}
QJsonValue toJson(MenuBarItem value) {
  return rawValue(value);
}
std::optional<MenuBarItem> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString());
}
}  // namespace MenuBarItems

}  // namespace kivo
