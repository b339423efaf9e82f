#include "settings/SettingCodecs.h"

#include "settings/StoredValue.h"
#include "settings/UuidText.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kivo::SettingCodecs {

std::optional<TelemetryConfiguration> decodeTelemetry(const QVariant& stored) {
  const auto object = StoredValue::jsonObject(stored);
  return object ? TelemetryConfiguration::fromJson(*object) : std::nullopt;
}

std::optional<RetentionPolicy> decodeRetention(const QVariant& stored) {
  const auto object = StoredValue::jsonObject(stored);
  return object ? RetentionPolicy::fromJson(*object) : std::nullopt;
}

std::optional<IntelligenceThresholds> decodeThresholds(const QVariant& stored) {
  const auto object = StoredValue::jsonObject(stored);
  return object ? IntelligenceThresholds::fromJson(*object) : std::nullopt;
}

std::optional<std::vector<AlertRule>> decodeRules(const QVariant& stored) {
  const auto array = StoredValue::jsonArray(stored);
  return array ? AlertRule::listFromJson(*array) : std::nullopt;
}

QByteArray encodeMenuBarItems(const std::vector<MenuBarItem>& items) {
  QJsonArray array;
  for (const MenuBarItem item : items) array.append(MenuBarItems::toJson(item));
  return StoredValue::compact(array);
}

std::optional<std::vector<MenuBarItem>> decodeMenuBarItems(const QByteArray& data) {
  const auto array = StoredValue::jsonArray(data);
  if (!array) return std::nullopt;
  std::vector<MenuBarItem> items;
  for (const QJsonValue& value : *array) {
    const auto item = MenuBarItems::fromJson(value);
    if (!item) return std::nullopt;
    items.push_back(*item);
  }
  return items;
}

QByteArray encodePresets(const std::vector<DashboardPreset>& presets) {
  QJsonArray array;
  for (const auto& preset : presets) array.append(preset.toJson());
  return StoredValue::compact(array);
}

std::optional<std::vector<DashboardPreset>> decodePresets(const QByteArray& data) {
  const auto array = StoredValue::jsonArray(data);
  if (!array) return std::nullopt;
  std::vector<DashboardPreset> presets;
  for (const QJsonValue& value : *array) {
    auto preset = DashboardPreset::fromJson(value);
    if (!preset) return std::nullopt;
    presets.push_back(std::move(*preset));
  }
  return presets;
}

// One flat array: an id's text, then that preset's widgets, then the next id.
QByteArray encodeOverrides(const Overrides& overrides) {
  QJsonArray array;
  for (const auto& [id, widgets] : overrides) {
    array.append(UuidText::format(id));
    array.append(DashboardPreset::widgetsToJson(widgets));
  }
  return StoredValue::compact(array);
}

std::optional<Overrides> decodeOverrides(const QByteArray& data) {
  const auto array = StoredValue::jsonArray(data);
  if (!array || array->size() % 2 != 0) return std::nullopt;
  Overrides overrides;
  for (qsizetype i = 0; i < array->size(); i += 2) {
    const QJsonValue key = array->at(i);
    const auto id = key.isString() ? UuidText::parse(key.toString()) : std::nullopt;
    auto widgets = DashboardPreset::widgetsFromJson(array->at(i + 1));
    if (!id || !widgets) return std::nullopt;
    overrides[*id] = std::move(*widgets);
  }
  return overrides;
}

}  // namespace kivo::SettingCodecs
