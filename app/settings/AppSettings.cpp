#include "settings/AppSettings.h"

#include "settings/SettingCodecs.h"
#include "settings/SettingFields.h"
#include "settings/SettingsLog.h"
#include "settings/StoredValue.h"
#include "settings/UuidText.h"

#include <algorithm>

namespace kivo {

namespace {

const QString kTelemetry = QStringLiteral("telemetry");
const QString kRetention = QStringLiteral("retention");
const QString kRules = QStringLiteral("rules");
const QString kThresholds = QStringLiteral("thresholds");
const QString kAppearance = QStringLiteral("appearance");
const QString kDensity = QStringLiteral("density");
const QString kColorBlindSafe = QStringLiteral("colorBlindSafe");
const QString kPrivacyMask = QStringLiteral("privacyMask");
const QString kShowMenuBar = QStringLiteral("showMenuBar");
const QString kMenuBarItems = QStringLiteral("menuBarItems");
const QString kMenuBarGraphs = QStringLiteral("menuBarGraphs");
const QString kNotifications = QStringLiteral("notifications");
const QString kIncludeHostInReports = QStringLiteral("includeHostInReports");
const QString kLatencyHost = QStringLiteral("latencyHost");
const QString kPresets = QStringLiteral("presets");
const QString kBuiltInOverrides = QStringLiteral("builtInOverrides");
const QString kSelectedPreset = QStringLiteral("selectedPreset");

using namespace SettingCodecs;
using StoredValue::boolean;
using StoredValue::compact;
using StoredValue::identifier;
using StoredValue::text;

std::vector<DashboardPreset> userPresets(const std::vector<DashboardPreset>& presets) {
  std::vector<DashboardPreset> users;
  std::copy_if(presets.begin(), presets.end(), std::back_inserter(users),
               [](const DashboardPreset& preset) { return !preset.isBuiltIn; });
  return users;
}

template <typename T>
bool change(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

const QString AppSettings::kDefaultLatencyHost = QStringLiteral("1.1.1.1");

std::vector<MenuBarItem> AppSettings::defaultMenuBarItems() {
  return {MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network};
}

QByteArray AppSettings::encodeMenuBarItems(const std::vector<MenuBarItem>& items) {
  return SettingCodecs::encodeMenuBarItems(items);
}
std::optional<std::vector<MenuBarItem>> AppSettings::decodeMenuBarItems(const QByteArray& data) {
  return SettingCodecs::decodeMenuBarItems(data);
}
QByteArray AppSettings::encodePresets(const std::vector<DashboardPreset>& presets) {
  return SettingCodecs::encodePresets(presets);
}
std::optional<std::vector<DashboardPreset>> AppSettings::decodePresets(const QByteArray& data) {
  return SettingCodecs::decodePresets(data);
}
QByteArray AppSettings::encodeOverrides(const Overrides& overrides) {
  return SettingCodecs::encodeOverrides(overrides);
}
std::optional<AppSettings::Overrides> AppSettings::decodeOverrides(const QByteArray& data) {
  return SettingCodecs::decodeOverrides(data);
}

QVariant AppSettings::stored(const QString& key) {
  const QVariant value = defaults_.object(key);
  return value.isValid() ? value : defaults_.adoptPlainJson(key);
}

template <typename T, typename Decode>
std::optional<T> AppSettings::read(const QString& key, Decode decode) {
  const QVariant stored = this->stored(key);
  if (!stored.isValid()) return std::nullopt;
  std::optional<T> value = decode(stored);
  if (!value) {
    unreadable_.insert(key, stored);
    qCWarning(settingsLog, "The setting %s is not valid; its default is used.", qUtf8Printable(key));
  }
  return value;
}

template <typename T, typename ReadFields>
std::optional<T> AppSettings::readFields(const QString& key, ReadFields readFields) {
  const QVariant stored = this->stored(key);
  if (!stored.isValid()) return std::nullopt;
  const auto object = StoredValue::jsonObject(stored);
  if (!object) {
    unreadable_.insert(key, stored);
    qCWarning(settingsLog, "The setting %s is not valid; its default is used.", qUtf8Printable(key));
    return std::nullopt;
  }
  SettingFieldReader reader(key, *object);
  T value = readFields(reader);
  // What was replaced is kept aside at the first write, like a value that did not read.
  if (reader.adjusted()) unreadable_.insert(key, stored);
  return value;
}

AppSettings::AppSettings(Preferences& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {
  telemetry_ = readFields<TelemetryConfiguration>(kTelemetry, SettingFields::telemetry)
                   .value_or(TelemetryConfiguration());
  retention_ = readFields<RetentionPolicy>(kRetention, SettingFields::retention).value_or(RetentionPolicy());
  rules_ = read<std::vector<AlertRule>>(kRules, decodeRules).value_or(AlertRule::defaults());
  thresholds_ = readFields<IntelligenceThresholds>(kThresholds, SettingFields::thresholds)
                    .value_or(IntelligenceThresholds());
  appearance_ = read<AppearanceChoice>(kAppearance, [](const QVariant& stored) {
                  const auto raw = text(stored);
                  return raw ? AppearanceChoices::fromRawValue(*raw) : std::nullopt;
                }).value_or(AppearanceChoice::system);
  density_ = read<DensityChoice>(kDensity, [](const QVariant& stored) {
               const auto raw = text(stored);
               return raw ? DensityChoices::fromRawValue(*raw) : std::nullopt;
             }).value_or(DensityChoice::regular);
  colorBlindSafe_ = defaults_.boolean(kColorBlindSafe);
  privacyMask_ = defaults_.boolean(kPrivacyMask);
  showMenuBar_ = read<bool>(kShowMenuBar, boolean).value_or(true);
  menuBarItems_ = read<std::vector<MenuBarItem>>(kMenuBarItems, [](const QVariant& stored) {
                    return stored.typeId() == QMetaType::QByteArray ? decodeMenuBarItems(stored.toByteArray())
                                                                    : std::nullopt;
                  }).value_or(defaultMenuBarItems());
  menuBarGraphs_ = read<bool>(kMenuBarGraphs, boolean).value_or(true);
  notifications_ = defaults_.boolean(kNotifications);
  includeHostInReports_ = defaults_.boolean(kIncludeHostInReports);
  latencyHost_ = read<QString>(kLatencyHost, text).value_or(kDefaultLatencyHost);
  builtInOverrides_ = read<Overrides>(kBuiltInOverrides, [](const QVariant& stored) {
                        return stored.typeId() == QMetaType::QByteArray
                                   ? decodeOverrides(stored.toByteArray())
                                   : std::nullopt;
                      }).value_or(Overrides());

  presets_ = DashboardPreset::builtIn();
  for (auto& preset : presets_) {
    if (const auto it = builtInOverrides_.find(preset.id); it != builtInOverrides_.end())
      preset.widgets = it->second;
  }
  const auto stored = read<std::vector<DashboardPreset>>(kPresets, [](const QVariant& value) {
    return value.typeId() == QMetaType::QByteArray ? decodePresets(value.toByteArray()) : std::nullopt;
  });
  if (stored) presets_.insert(presets_.end(), stored->begin(), stored->end());

  selectedPreset_ = read<QUuid>(kSelectedPreset, identifier).value_or(DashboardPreset::overviewID);
  saveError_ = defaults_.saveError();
  readError_ = defaults_.readError();
}

void AppSettings::write(const QString& key, const QVariant& value) {
  QList<Preferences::Change> changes;
  if (const auto it = unreadable_.constFind(key); it != unreadable_.constEnd()) {
    changes.append(
        {Preferences::unreadableName(key, [this](const QString& name) { return defaults_.contains(name); }),
         it.value()});
    unreadable_.remove(key);
  }
  changes.append({key, value});
  defaults_.apply(changes);
  if (change(saveError_, defaults_.saveError())) emit saveErrorChanged();
  // The first write sets an unreadable file aside: where it went is told from now on.
  if (change(readError_, defaults_.readError())) emit readErrorChanged();
}

template <typename T, typename Decode>
void AppSettings::writeJson(const QString& key, const QByteArray& data, const T& value, Decode decode) {
  const std::optional<T> back = decode(QVariant(data));
  if (back && *back == value) write(key, data);
}

void AppSettings::setTelemetry(const TelemetryConfiguration& value) {
  if (!change(telemetry_, value)) return;
  writeJson(kTelemetry, compact(value.toJson()), value, decodeTelemetry);
  emit telemetryChanged();
}

void AppSettings::setRetention(const RetentionPolicy& value) {
  if (!change(retention_, value)) return;
  writeJson(kRetention, compact(value.toJson()), value, decodeRetention);
  emit retentionChanged();
}

void AppSettings::setRules(const std::vector<AlertRule>& value) {
  if (!change(rules_, value)) return;
  writeJson(kRules, compact(AlertRule::listToJson(value)), value, decodeRules);
  emit rulesChanged();
}

void AppSettings::setThresholds(const IntelligenceThresholds& value) {
  if (!change(thresholds_, value)) return;
  writeJson(kThresholds, compact(value.toJson()), value, decodeThresholds);
  emit thresholdsChanged();
}

void AppSettings::setAppearance(AppearanceChoice value) {
  if (!change(appearance_, value)) return;
  write(kAppearance, AppearanceChoices::rawString(value));
  emit appearanceChanged();
}

void AppSettings::setDensity(DensityChoice value) {
  if (!change(density_, value)) return;
  write(kDensity, DensityChoices::rawString(value));
  emit densityChanged();
}

void AppSettings::setColorBlindSafe(bool value) {
  if (!change(colorBlindSafe_, value)) return;
  write(kColorBlindSafe, value);
  emit colorBlindSafeChanged();
}

void AppSettings::setPrivacyMask(bool value) {
  if (!change(privacyMask_, value)) return;
  write(kPrivacyMask, value);
  emit privacyMaskChanged();
}

void AppSettings::setShowMenuBar(bool value) {
  if (!change(showMenuBar_, value)) return;
  write(kShowMenuBar, value);
  emit showMenuBarChanged();
}

void AppSettings::setMenuBarItems(const std::vector<MenuBarItem>& value) {
  if (!change(menuBarItems_, value)) return;
  write(kMenuBarItems, encodeMenuBarItems(value));
  emit menuBarItemsChanged();
}

void AppSettings::setMenuBarGraphs(bool value) {
  if (!change(menuBarGraphs_, value)) return;
  write(kMenuBarGraphs, value);
  emit menuBarGraphsChanged();
}

void AppSettings::setNotifications(bool value) {
  if (!change(notifications_, value)) return;
  write(kNotifications, value);
  emit notificationsChanged();
}

void AppSettings::setIncludeHostInReports(bool value) {
  if (!change(includeHostInReports_, value)) return;
  write(kIncludeHostInReports, value);
  emit includeHostInReportsChanged();
}

void AppSettings::setLatencyHost(const QString& value) {
  if (!change(latencyHost_, value)) return;
  write(kLatencyHost, value);
  emit latencyHostChanged();
}

void AppSettings::writePresets() {
  const auto users = userPresets(presets_);
  writeJson(kPresets, encodePresets(users), users,
            [](const QVariant& stored) { return decodePresets(stored.toByteArray()); });
}

void AppSettings::writeOverrides() {
  write(kBuiltInOverrides, encodeOverrides(builtInOverrides_));
}

void AppSettings::setPresets(const std::vector<DashboardPreset>& value) {
  if (!change(presets_, value)) return;
  writePresets();
  emit presetsChanged();
}

void AppSettings::setBuiltInOverrides(const Overrides& value) {
  if (!change(builtInOverrides_, value)) return;
  writeOverrides();
  emit builtInOverridesChanged();
}

void AppSettings::setSelectedPreset(const QUuid& value) {
  if (!change(selectedPreset_, value)) return;
  write(kSelectedPreset, UuidText::format(value));
  emit selectedPresetChanged();
}

DashboardPreset AppSettings::preset(const QUuid& id) const {
  const auto it = std::find_if(presets_.begin(), presets_.end(), [&](const auto& p) { return p.id == id; });
  if (it != presets_.end()) return *it;
  if (!presets_.empty()) return presets_.front();
  return *DashboardPreset::builtIn(DashboardPreset::overviewID);
}

// Both operations change their state and write it before telling anyone, so an observer that
// reacts by editing presets cannot invalidate what is still to be done here.
void AppSettings::updateWidgets(const std::vector<WidgetConfig>& widgets, const QUuid& presetID) {
  const auto it =
      std::find_if(presets_.begin(), presets_.end(), [&](const auto& p) { return p.id == presetID; });
  if (it == presets_.end()) return;
  const bool presetsMoved = change(it->widgets, widgets);
  bool overridesMoved = false;
  if (it->isBuiltIn) {
    const auto entry = builtInOverrides_.find(presetID);
    overridesMoved = entry == builtInOverrides_.end() || entry->second != widgets;
    if (overridesMoved) builtInOverrides_[presetID] = widgets;
  }
  if (presetsMoved) writePresets();
  if (overridesMoved) writeOverrides();
  if (presetsMoved) emit presetsChanged();
  if (overridesMoved) emit builtInOverridesChanged();
}

void AppSettings::resetBuiltIn(const QUuid& presetID) {
  auto shipped = DashboardPreset::builtIn(presetID);
  if (!shipped) return;
  const auto it =
      std::find_if(presets_.begin(), presets_.end(), [&](const auto& p) { return p.id == presetID; });
  if (it == presets_.end()) return;
  const bool overridesMoved = builtInOverrides_.erase(presetID) > 0;
  *it = std::move(*shipped);
  if (overridesMoved) writeOverrides();
  writePresets();
  if (overridesMoved) emit builtInOverridesChanged();
  emit presetsChanged();
}

QUuid AppSettings::duplicatePreset(const QUuid& presetID, const QString& name) {
  const DashboardPreset source = preset(presetID);
  DashboardPreset copy{QUuid::createUuid(), name, {}, false};
  copy.widgets.reserve(source.widgets.size());
  for (const auto& widget : source.widgets) copy.widgets.emplace_back(widget.kind, widget.size);
  presets_.push_back(copy);
  writePresets();
  emit presetsChanged();
  return copy.id;
}

void AppSettings::deletePreset(const QUuid& presetID) {
  const auto it =
      std::find_if(presets_.begin(), presets_.end(), [&](const auto& p) { return p.id == presetID; });
  if (it == presets_.end() || it->isBuiltIn) return;
  std::erase_if(presets_, [&](const DashboardPreset& p) { return p.id == presetID; });
  writePresets();
  emit presetsChanged();
  if (selectedPreset_ == presetID) setSelectedPreset(DashboardPreset::overviewID);
}

}  // namespace kivo
