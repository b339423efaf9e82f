#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// A figure the tray item can show; disk is disk activity.
enum class MenuBarItem { cpu, memory, network, disk, battery };

// The raw value is also the identity and the stored form.
inline constexpr auto kMenuBarItemRawValues = rawValueTable<MenuBarItem>({{MenuBarItem::cpu, "cpu"},
                                                                          {MenuBarItem::memory, "memory"},
                                                                          {MenuBarItem::network, "network"},
                                                                          {MenuBarItem::disk, "disk"},
                                                                          {MenuBarItem::battery, "battery"}});

struct MenuBarItems : RawValueLookups<kMenuBarItemRawValues> {
  // The name shown for the indicator (tray settings, the tray label's captions).
  static QString title(MenuBarItem value);
};

}  // namespace kivo
