#pragma once

#include "analysis/AlertRule.h"
#include "analysis/IntelligenceThresholds.h"
#include "scheduler/TelemetryConfiguration.h"
#include "settings/DashboardPreset.h"
#include "settings/MenuBarItem.h"
#include "storage/RetentionPolicy.h"

#include <QByteArray>
#include <QUuid>
#include <QVariant>

#include <map>
#include <optional>
#include <vector>

namespace kivo {

// The stored forms of the settings kept as JSON. The decoders are strict: what an encoder
// writes must read back equal through them, and anything else is absent.
namespace SettingCodecs {

using Overrides = std::map<QUuid, std::vector<WidgetConfig>>;

std::optional<TelemetryConfiguration> decodeTelemetry(const QVariant& stored);
std::optional<RetentionPolicy> decodeRetention(const QVariant& stored);
std::optional<IntelligenceThresholds> decodeThresholds(const QVariant& stored);
std::optional<std::vector<AlertRule>> decodeRules(const QVariant& stored);

QByteArray encodeMenuBarItems(const std::vector<MenuBarItem>& items);
std::optional<std::vector<MenuBarItem>> decodeMenuBarItems(const QByteArray& data);
QByteArray encodePresets(const std::vector<DashboardPreset>& presets);
std::optional<std::vector<DashboardPreset>> decodePresets(const QByteArray& data);
QByteArray encodeOverrides(const Overrides& overrides);
std::optional<Overrides> decodeOverrides(const QByteArray& data);

}  // namespace SettingCodecs

}  // namespace kivo
