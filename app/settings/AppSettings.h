#pragma once

#include "analysis/AlertRule.h"
#include "analysis/IntelligenceThresholds.h"
#include "scheduler/TelemetryConfiguration.h"
#include "settings/AppearanceChoice.h"
#include "settings/DashboardPreset.h"
#include "settings/DensityChoice.h"
#include "settings/MenuBarItem.h"
#include "settings/Preferences.h"
#include "storage/RetentionPolicy.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

#include <map>
#include <vector>

namespace kivo {

// Every user setting, read once from a Preferences domain at construction and written through
// on every real change. The key of each setting is its name. Lives on the GUI thread.
//
// A stored value that does not decode gives the setting its default and stays stored as it is;
// the sampling, retention and threshold objects are read field by field, so one bad field
// falls back (or a value outside what the settings window offers is clamped) alone; each is
// named on standard error. A value written by hand as plain JSON is read as that JSON. What was replaced
// stays stored too; the first write of that setting keeps it under "<key>.unreadable" (or
// "<key>.unreadable.N" when an earlier one is kept there), so it is never lost. Assigning the value a setting
// already has writes nothing and signals nothing.
class AppSettings : public QObject {
  Q_OBJECT

 public:
  using Overrides = std::map<QUuid, std::vector<WidgetConfig>>;

  // Reads every setting; writes nothing. The domain must outlive the settings.
  explicit AppSettings(Preferences& defaults, QObject* parent = nullptr);

  Preferences& defaults() const { return defaults_; }

  const TelemetryConfiguration& telemetry() const { return telemetry_; }
  const RetentionPolicy& retention() const { return retention_; }
  const std::vector<AlertRule>& rules() const { return rules_; }
  const IntelligenceThresholds& thresholds() const { return thresholds_; }
  AppearanceChoice appearance() const { return appearance_; }
  DensityChoice density() const { return density_; }
  bool colorBlindSafe() const { return colorBlindSafe_; }
  bool privacyMask() const { return privacyMask_; }
  bool showMenuBar() const { return showMenuBar_; }
  const std::vector<MenuBarItem>& menuBarItems() const { return menuBarItems_; }
  bool menuBarGraphs() const { return menuBarGraphs_; }
  bool notifications() const { return notifications_; }
  bool includeHostInReports() const { return includeHostInReports_; }
  const QString& latencyHost() const { return latencyHost_; }
  // The built-ins first (with their overrides), then the user presets.
  const std::vector<DashboardPreset>& presets() const { return presets_; }
  const Overrides& builtInOverrides() const { return builtInOverrides_; }
  const QUuid& selectedPreset() const { return selectedPreset_; }
  // Why the last change could not be saved, or empty; the next change tries again.
  const QString& saveError() const { return saveError_; }
  // Why the stored settings could not be read at start and where that file is kept, or empty.
  const QString& readError() const { return readError_; }

  void setTelemetry(const TelemetryConfiguration& value);
  void setRetention(const RetentionPolicy& value);
  void setRules(const std::vector<AlertRule>& value);
  void setThresholds(const IntelligenceThresholds& value);
  void setAppearance(AppearanceChoice value);
  void setDensity(DensityChoice value);
  void setColorBlindSafe(bool value);
  void setPrivacyMask(bool value);
  void setShowMenuBar(bool value);
  void setMenuBarItems(const std::vector<MenuBarItem>& value);
  void setMenuBarGraphs(bool value);
  void setNotifications(bool value);
  void setIncludeHostInReports(bool value);
  void setLatencyHost(const QString& value);
  // Only the user presets (isBuiltIn false) are stored; callers keep the built-ins in the list.
  void setPresets(const std::vector<DashboardPreset>& value);
  void setBuiltInOverrides(const Overrides& value);
  void setSelectedPreset(const QUuid& value);

  // The preset with this id, else the first of the list (the shipped Overview if the list was
  // emptied by a caller).
  DashboardPreset preset(const QUuid& id) const;
  // Gives the preset new widgets; a built-in keeps them as its override. Unknown id: nothing.
  void updateWidgets(const std::vector<WidgetConfig>& widgets, const QUuid& presetID);
  // A built-in gets its shipped layout back (new widget ids) and loses its override.
  void resetBuiltIn(const QUuid& presetID);
  // Appends a user copy (new ids, the name as given) of preset(id) and returns its id.
  QUuid duplicatePreset(const QUuid& presetID, const QString& name);
  // Removes a user preset; a selected one hands the selection back to Overview.
  void deletePreset(const QUuid& presetID);

  static const QString kDefaultLatencyHost;
  static std::vector<MenuBarItem> defaultMenuBarItems();

  // The stored forms, for the settings' own round trip and for tests.
  static QByteArray encodeMenuBarItems(const std::vector<MenuBarItem>& items);
  static std::optional<std::vector<MenuBarItem>> decodeMenuBarItems(const QByteArray& data);
  static QByteArray encodePresets(const std::vector<DashboardPreset>& presets);
  static std::optional<std::vector<DashboardPreset>> decodePresets(const QByteArray& data);
  static QByteArray encodeOverrides(const Overrides& overrides);
  static std::optional<Overrides> decodeOverrides(const QByteArray& data);

 signals:
  void telemetryChanged();
  void retentionChanged();
  void rulesChanged();
  void thresholdsChanged();
  void appearanceChanged();
  void densityChanged();
  void colorBlindSafeChanged();
  void privacyMaskChanged();
  void showMenuBarChanged();
  void menuBarItemsChanged();
  void menuBarGraphsChanged();
  void notificationsChanged();
  void includeHostInReportsChanged();
  void latencyHostChanged();
  void presetsChanged();
  void builtInOverridesChanged();
  void selectedPresetChanged();
  void saveErrorChanged();
  void readErrorChanged();

 private:
  // The stored value of key, taking one written by hand as plain JSON.
  QVariant stored(const QString& key);
  // Reads the stored value of key through decode; on failure remembers the raw value and
  // returns absent.
  template <typename T, typename Decode>
  std::optional<T> read(const QString& key, Decode decode);
  // Reads a stored object field by field (see SettingFieldReader).
  template <typename T, typename ReadFields>
  std::optional<T> readFields(const QString& key, ReadFields readFields);
  // Writes one value, first moving an unreadable stored value aside.
  void write(const QString& key, const QVariant& value);
  // Writes encoded JSON only when it reads back equal (a NaN would not).
  template <typename T, typename Decode>
  void writeJson(const QString& key, const QByteArray& data, const T& value, Decode decode);
  void writePresets();
  void writeOverrides();

  Preferences& defaults_;
  QHash<QString, QVariant> unreadable_;

  TelemetryConfiguration telemetry_;
  RetentionPolicy retention_;
  std::vector<AlertRule> rules_;
  IntelligenceThresholds thresholds_;
  AppearanceChoice appearance_ = AppearanceChoice::system;
  DensityChoice density_ = DensityChoice::regular;
  bool colorBlindSafe_ = false;
  bool privacyMask_ = false;
  bool showMenuBar_ = true;
  std::vector<MenuBarItem> menuBarItems_;
  bool menuBarGraphs_ = true;
  bool notifications_ = false;
  bool includeHostInReports_ = false;
  QString latencyHost_;
  std::vector<DashboardPreset> presets_;
  Overrides builtInOverrides_;
  QUuid selectedPreset_;
  QString saveError_;
  QString readError_;
};

}  // namespace kivo
