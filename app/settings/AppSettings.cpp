#include "settings/AppSettings.h"

#include "settings/UuidText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

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

std::optional<QJsonDocument> document(const QVariant& stored) {
  if (stored.typeId() != QMetaType::QByteArray) return std::nullopt;
  QJsonParseError error{};
  QJsonDocument parsed = QJsonDocument::fromJson(stored.toByteArray(), &error);
  if (error.error != QJsonParseError::NoError) return std::nullopt;
  return parsed;
}

std::optional<QJsonObject> jsonObject(const QVariant& stored) {
  const auto parsed = document(stored);
  if (!parsed || !parsed->isObject()) return std::nullopt;
  return parsed->object();
}

std::optional<QJsonArray> jsonArray(const QVariant& stored) {
  const auto parsed = document(stored);
  if (!parsed || !parsed->isArray()) return std::nullopt;
  return parsed->array();
}

QByteArray compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
QByteArray compact(const QJsonArray& array) {
  return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// The strict decoders: what a setter writes must read back equal through them.
std::optional<TelemetryConfiguration> decodeTelemetry(const QVariant& stored) {
  const auto object = jsonObject(stored);
  return object ? TelemetryConfiguration::fromJson(*object) : std::nullopt;
}

std::optional<RetentionPolicy> decodeRetention(const QVariant& stored) {
  const auto object = jsonObject(stored);
  return object ? RetentionPolicy::fromJson(*object) : std::nullopt;
}

std::optional<IntelligenceThresholds> decodeThresholds(const QVariant& stored) {
  const auto object = jsonObject(stored);
  return object ? IntelligenceThresholds::fromJson(*object) : std::nullopt;
}

// Reads a stored object field by field: a field of the wrong type, or a number that is
// out of range, falls back (or is clamped) alone and is named on standard error; a
// missing field takes its default silently (an older version did not write it).
class FieldReader {
 public:
  FieldReader(const QString& key, const QJsonObject& object) : key_(key), object_(object) {}

  bool adjusted() const { return adjusted_; }

  // A finite number at least `lower` (and at most `upper` when given).
  double number(const char* field, double fallback, double lower,
                std::optional<double> upper = std::nullopt) {
    const QJsonValue value = object_.value(QLatin1String(field));
    if (value.isUndefined()) return fallback;
    if (!value.isDouble() || !std::isfinite(value.toDouble())) return fellBack(field, fallback);
    const double number = value.toDouble();
    const double bounded = std::max(lower, upper ? std::min(number, *upper) : number);
    if (bounded != number) {
      adjusted_ = true;
      qWarning("The setting %s.%s (%s) is outside the range it allows; %s is used.", qUtf8Printable(key_),
               field, qUtf8Printable(QString::number(number)), qUtf8Printable(QString::number(bounded)));
    }
    return bounded;
  }

  // A finite number above zero.
  double positive(const char* field, double fallback) {
    const QJsonValue value = object_.value(QLatin1String(field));
    if (value.isUndefined()) return fallback;
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() <= 0) {
      return fellBack(field, fallback);
    }
    return value.toDouble();
  }

  bool flag(const char* field, bool fallback) {
    const QJsonValue value = object_.value(QLatin1String(field));
    if (value.isUndefined()) return fallback;
    return value.isBool() ? value.toBool() : fellBack(field, fallback);
  }

  std::int64_t whole(const char* field, std::int64_t fallback, std::int64_t lower) {
    const QJsonValue value = object_.value(QLatin1String(field));
    if (value.isUndefined()) return fallback;
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || !std::isfinite(number) || number != std::floor(number) ||
        number < double(lower) || number > 9.0e15) {
      return fellBack(field, fallback);
    }
    return static_cast<std::int64_t>(number);
  }

 private:
  template <typename T>
  T fellBack(const char* field, T fallback) {
    adjusted_ = true;
    qWarning("The setting %s.%s is not valid; its default %s is used.", qUtf8Printable(key_), field,
             qUtf8Printable(QVariant::fromValue(fallback).toString()));
    return fallback;
  }

  const QString& key_;
  const QJsonObject& object_;
  bool adjusted_ = false;
};

// The ranges the settings allow. The sampling intervals are those of the sampling pane's
// sliders, widened below to what the test interval option writes (0.5 s, processes twice
// that); the flush interval has no control, and longer than five minutes would lose that
// much history to a crash.
TelemetryConfiguration readTelemetry(FieldReader& r) {
  const TelemetryConfiguration d;
  TelemetryConfiguration c;
  c.interval = r.number("interval", d.interval, 0.5, TelemetryConfiguration::intervalRange.upper);
  c.backgroundInterval = r.number("backgroundInterval", d.backgroundInterval, 0.5, 30);
  c.processInterval = r.number("processInterval", d.processInterval, 1, 30);
  c.slowInterval = r.number("slowInterval", d.slowInterval, 10, 120);
  c.batterySaver = r.flag("batterySaver", d.batterySaver);
  c.bestEffortMetrics = r.flag("bestEffortMetrics", d.bestEffortMetrics);
  c.historyEnabled = r.flag("historyEnabled", d.historyEnabled);
  c.flushInterval = r.number("flushInterval", d.flushInterval, 0, 300);
  return c;
}

// A retention that matches none of the pane's choices stays as it is; only one that keeps
// nothing (zero or less) is refused.
RetentionPolicy readRetention(FieldReader& r) {
  const RetentionPolicy d;
  RetentionPolicy c;
  c.raw = r.positive("raw", d.raw);
  c.minute = r.positive("minute", d.minute);
  c.hour = r.positive("hour", d.hour);
  return c;
}

IntelligenceThresholds readThresholds(FieldReader& r) {
  const IntelligenceThresholds d;
  IntelligenceThresholds c;
  c.cpuPercent = r.number("cpuPercent", d.cpuPercent, 0);
  c.cpuMinutes = r.number("cpuMinutes", d.cpuMinutes, 0);
  c.pressureMinutes = r.number("pressureMinutes", d.pressureMinutes, 0);
  c.swapGrowthBytes = r.number("swapGrowthBytes", d.swapGrowthBytes, 0);
  c.diskHorizonDays = r.number("diskHorizonDays", d.diskHorizonDays, 0);
  c.networkFloor = r.number("networkFloor", d.networkFloor, 0);
  c.processEpisodes = r.whole("processEpisodes", d.processEpisodes, 0);
  return c;
}

std::optional<std::vector<AlertRule>> decodeRules(const QVariant& stored) {
  const auto array = jsonArray(stored);
  return array ? AlertRule::listFromJson(*array) : std::nullopt;
}

std::optional<QString> text(const QVariant& stored) {
  if (stored.typeId() != QMetaType::QString) return std::nullopt;
  return stored.toString();
}

std::optional<bool> boolean(const QVariant& stored) {
  if (stored.typeId() != QMetaType::Bool) return std::nullopt;
  return stored.toBool();
}

std::optional<QUuid> identifier(const QVariant& stored) {
  const auto value = text(stored);
  return value ? UuidText::parse(*value) : std::nullopt;
}

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
  QJsonArray array;
  for (const MenuBarItem item : items) array.append(MenuBarItems::toJson(item));
  return compact(array);
}

std::optional<std::vector<MenuBarItem>> AppSettings::decodeMenuBarItems(const QByteArray& data) {
  const auto array = jsonArray(data);
  if (!array) return std::nullopt;
  std::vector<MenuBarItem> items;
  for (const QJsonValue& value : *array) {
    const auto item = MenuBarItems::fromJson(value);
    if (!item) return std::nullopt;
    items.push_back(*item);
  }
  return items;
}

QByteArray AppSettings::encodePresets(const std::vector<DashboardPreset>& presets) {
  QJsonArray array;
  for (const auto& preset : presets) array.append(preset.toJson());
  return compact(array);
}

std::optional<std::vector<DashboardPreset>> AppSettings::decodePresets(const QByteArray& data) {
  const auto array = jsonArray(data);
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
QByteArray AppSettings::encodeOverrides(const Overrides& overrides) {
  QJsonArray array;
  for (const auto& [id, widgets] : overrides) {
    array.append(UuidText::format(id));
    array.append(DashboardPreset::widgetsToJson(widgets));
  }
  return compact(array);
}

std::optional<AppSettings::Overrides> AppSettings::decodeOverrides(const QByteArray& data) {
  const auto array = jsonArray(data);
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

template <typename T, typename Decode>
std::optional<T> AppSettings::read(const QString& key, Decode decode) {
  const QVariant stored = defaults_.object(key);
  if (!stored.isValid()) return std::nullopt;
  std::optional<T> value = decode(stored);
  if (!value) {
    unreadable_.insert(key, stored);
    qWarning("The setting %s is not valid; its default is used.", qUtf8Printable(key));
  }
  return value;
}

template <typename T, typename ReadFields>
std::optional<T> AppSettings::readFields(const QString& key, ReadFields readFields) {
  const QVariant stored = defaults_.object(key);
  if (!stored.isValid()) return std::nullopt;
  const auto object = jsonObject(stored);
  if (!object) {
    unreadable_.insert(key, stored);
    qWarning("The setting %s is not valid; its default is used.", qUtf8Printable(key));
    return std::nullopt;
  }
  FieldReader reader(key, *object);
  T value = readFields(reader);
  // What was replaced is kept aside at the first write, like a value that did not read.
  if (reader.adjusted()) unreadable_.insert(key, stored);
  return value;
}

AppSettings::AppSettings(Preferences& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {
  telemetry_ =
      readFields<TelemetryConfiguration>(kTelemetry, readTelemetry).value_or(TelemetryConfiguration());
  retention_ = readFields<RetentionPolicy>(kRetention, readRetention).value_or(RetentionPolicy());
  rules_ = read<std::vector<AlertRule>>(kRules, decodeRules).value_or(AlertRule::defaults());
  thresholds_ =
      readFields<IntelligenceThresholds>(kThresholds, readThresholds).value_or(IntelligenceThresholds());
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
}

void AppSettings::write(const QString& key, const QVariant& value) {
  QList<Preferences::Change> changes;
  if (const auto it = unreadable_.constFind(key); it != unreadable_.constEnd()) {
    changes.append({Preferences::unreadableName(key, [this](const QString& name) { return defaults_.contains(name); }),
                    it.value()});
    unreadable_.remove(key);
  }
  changes.append({key, value});
  defaults_.apply(changes);
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
  write(kAppearance, AppearanceChoices::rawValue(value));
  emit appearanceChanged();
}

void AppSettings::setDensity(DensityChoice value) {
  if (!change(density_, value)) return;
  write(kDensity, DensityChoices::rawValue(value));
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
