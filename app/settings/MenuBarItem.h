#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// A figure the tray item can show; disk is disk activity.
enum class MenuBarItem { cpu, memory, network, disk, battery };

namespace MenuBarItems {
std::span<const MenuBarItem> allCases();
// Also the identity and the stored form.
QString rawValue(MenuBarItem value);
// Exact, case-sensitive match.
std::optional<MenuBarItem> fromRawValue(QStringView raw);
QJsonValue toJson(MenuBarItem value);
// Only a JSON string holding a raw value decodes.
std::optional<MenuBarItem> fromJson(const QJsonValue& value);
// The name shown for the indicator (tray settings, the tray label's captions).
QString title(MenuBarItem value);
}  // namespace MenuBarItems

}  // namespace kivo
