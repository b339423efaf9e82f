#include "settings/AppSettings.h"
#include "settings/JsonFilePreferences.h"
#include "settings/MemoryPreferences.h"
#include "settings/UuidText.h"

#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace kivo {
namespace {

using K = WidgetKind;
using S = WidgetSize;

QByteArray json(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
QByteArray json(const QJsonArray& array) {
  return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::vector<std::pair<K, S>> layout(const DashboardPreset& preset) {
  std::vector<std::pair<K, S>> result;
  for (const auto& w : preset.widgets) result.emplace_back(w.kind, w.size);
  return result;
}

std::vector<QUuid> widgetIds(const DashboardPreset& preset) {
  std::vector<QUuid> ids;
  for (const auto& w : preset.widgets) ids.push_back(w.id);
  return ids;
}

bool sameRulesIgnoringIds(const std::vector<AlertRule>& a, const std::vector<AlertRule>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    AlertRule copy = a[i];
    copy.id = b[i].id;
    if (!(copy == b[i])) return false;
  }
  return true;
}

// Counts every change signal of one settings object.
struct SignalCounter {
  explicit SignalCounter(AppSettings& settings) { connectAll(settings); }
  void connectAll(AppSettings& s) {
    auto count = [this](const char* name) {
      return [this, name] { fired.append(QString::fromLatin1(name)); };
    };
    QObject::connect(&s, &AppSettings::telemetryChanged, &receiver, count("telemetry"));
    QObject::connect(&s, &AppSettings::retentionChanged, &receiver, count("retention"));
    QObject::connect(&s, &AppSettings::rulesChanged, &receiver, count("rules"));
    QObject::connect(&s, &AppSettings::thresholdsChanged, &receiver, count("thresholds"));
    QObject::connect(&s, &AppSettings::appearanceChanged, &receiver, count("appearance"));
    QObject::connect(&s, &AppSettings::densityChanged, &receiver, count("density"));
    QObject::connect(&s, &AppSettings::colorBlindSafeChanged, &receiver, count("colorBlindSafe"));
    QObject::connect(&s, &AppSettings::privacyMaskChanged, &receiver, count("privacyMask"));
    QObject::connect(&s, &AppSettings::showMenuBarChanged, &receiver, count("showMenuBar"));
    QObject::connect(&s, &AppSettings::menuBarItemsChanged, &receiver, count("menuBarItems"));
    QObject::connect(&s, &AppSettings::menuBarGraphsChanged, &receiver, count("menuBarGraphs"));
    QObject::connect(&s, &AppSettings::notificationsChanged, &receiver, count("notifications"));
    QObject::connect(&s, &AppSettings::includeHostInReportsChanged, &receiver, count("includeHostInReports"));
    QObject::connect(&s, &AppSettings::latencyHostChanged, &receiver, count("latencyHost"));
    QObject::connect(&s, &AppSettings::presetsChanged, &receiver, count("presets"));
    QObject::connect(&s, &AppSettings::builtInOverridesChanged, &receiver, count("builtInOverrides"));
    QObject::connect(&s, &AppSettings::selectedPresetChanged, &receiver, count("selectedPreset"));
  }
  QObject receiver;
  QStringList fired;
};

TEST(AppSettings, AnEmptyDomainGivesEveryDefaultAndStaysEmpty) {
  MemoryPreferences domain;
  AppSettings settings(domain);
  EXPECT_EQ(settings.telemetry(), TelemetryConfiguration());
  EXPECT_EQ(settings.retention(), (RetentionPolicy{21600, 1209600, 63072000}));
  EXPECT_EQ(settings.rules(), AlertRule::defaults());
  EXPECT_EQ(settings.rules().size(), 7u);
  EXPECT_EQ(settings.thresholds(), IntelligenceThresholds());
  EXPECT_EQ(settings.appearance(), AppearanceChoice::system);
  EXPECT_EQ(settings.density(), DensityChoice::regular);
  EXPECT_FALSE(settings.colorBlindSafe());
  EXPECT_FALSE(settings.privacyMask());
  EXPECT_TRUE(settings.showMenuBar());
  EXPECT_EQ(settings.menuBarItems(),
            (std::vector{MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network}));
  EXPECT_TRUE(settings.menuBarGraphs());
  EXPECT_FALSE(settings.notifications());
  EXPECT_FALSE(settings.includeHostInReports());
  EXPECT_EQ(settings.latencyHost(), QStringLiteral("1.1.1.1"));
  ASSERT_EQ(settings.presets().size(), 3u);
  EXPECT_EQ(settings.presets()[0].widgets.size(), 12u);
  EXPECT_EQ(settings.presets()[1].widgets.size(), 7u);
  EXPECT_EQ(settings.presets()[2].widgets.size(), 8u);
  EXPECT_TRUE(settings.builtInOverrides().empty());
  EXPECT_EQ(settings.selectedPreset(), DashboardPreset::overviewID);
  EXPECT_EQ(domain.writeCount(), 0);
  EXPECT_TRUE(domain.keys().isEmpty());
}

// What each key falls back to when its stored value cannot be used.
struct FallbackCase {
  const char* name;
  QString key;
  QVariant stored;
  std::function<bool(const AppSettings&)> holds;
};

std::vector<FallbackCase> fallbackCases() {
  QJsonObject telemetry = TelemetryConfiguration().toJson();
  telemetry.remove(QStringLiteral("flushInterval"));
  QJsonObject telemetryWrongType = TelemetryConfiguration().toJson();
  telemetryWrongType[QStringLiteral("interval")] = QStringLiteral("2");
  QJsonObject retention = RetentionPolicy{7200, 1209600, 3}.toJson();
  retention.remove(QStringLiteral("hour"));
  QJsonArray rules = AlertRule::listToJson(AlertRule::defaults());
  QJsonObject badRule = rules[3].toObject();
  badRule[QStringLiteral("metric")] = 999;
  rules[3] = badRule;
  QJsonObject thresholds = IntelligenceThresholds().toJson();
  thresholds.remove(QStringLiteral("cpuPercent"));
  QJsonObject user =
      DashboardPreset{QUuid::createUuid(), "Mine", {WidgetConfig(K::cpu, S::small)}, false}.toJson();
  QJsonObject badUser = user;
  badUser[QStringLiteral("widgets")] =
      QJsonArray{QJsonObject{{"id", UuidText::format(QUuid::createUuid())}, {"kind", "cpu"}, {"size", 3}}};
  const QJsonArray widgets = DashboardPreset::widgetsToJson({WidgetConfig(K::gpu, S::large)});

  auto defaultsOf = [](auto get, auto expected) {
    return [get, expected](const AppSettings& s) { return get(s) == expected; };
  };
  auto telemetryIsDefault =
      defaultsOf([](const AppSettings& s) { return s.telemetry(); }, TelemetryConfiguration());
  auto onlyBuiltIns = [](const AppSettings& s) {
    return s.presets().size() == 3 && s.presets()[2].id == DashboardPreset::compactID;
  };
  auto noOverrides = [](const AppSettings& s) {
    return s.builtInOverrides().empty() && s.presets()[0].widgets.size() == 12;
  };
  auto isOverview =
      defaultsOf([](const AppSettings& s) { return s.selectedPreset(); }, DashboardPreset::overviewID);
  auto showsMenuBar = [](const AppSettings& s) { return s.showMenuBar(); };
  auto defaultItems =
      defaultsOf([](const AppSettings& s) { return s.menuBarItems(); }, AppSettings::defaultMenuBarItems());

  return {
      {"telemetry not JSON", "telemetry", QByteArray("{\"interval\": "), telemetryIsDefault},
      {"telemetry missing a key", "telemetry", json(telemetry), telemetryIsDefault},
      {"telemetry of a wrong type", "telemetry", json(telemetryWrongType), telemetryIsDefault},
      {"telemetry as text", "telemetry", QString::fromUtf8(json(TelemetryConfiguration().toJson())),
       telemetryIsDefault},
      {"retention without hour", "retention", json(retention),
       defaultsOf([](const AppSettings& s) { return s.retention(); },
                  RetentionPolicy{7200, 1209600, 63072000})},
      {"one unreadable rule", "rules", json(rules),
       [](const AppSettings& s) { return sameRulesIgnoringIds(s.rules(), AlertRule::defaults()); }},
      {"rules as an object", "rules", json(QJsonObject{}),
       [](const AppSettings& s) { return s.rules() == AlertRule::defaults(); }},
      {"thresholds missing a key", "thresholds", json(thresholds),
       defaultsOf([](const AppSettings& s) { return s.thresholds(); }, IntelligenceThresholds())},
      {"appearance capitalised", "appearance", QStringLiteral("Dark"),
       defaultsOf([](const AppSettings& s) { return s.appearance(); }, AppearanceChoice::system)},
      {"appearance as a number", "appearance", 2.0,
       defaultsOf([](const AppSettings& s) { return s.appearance(); }, AppearanceChoice::system)},
      {"density unknown", "density", QStringLiteral("spacious"),
       defaultsOf([](const AppSettings& s) { return s.density(); }, DensityChoice::regular)},
      {"showMenuBar as text", "showMenuBar", QStringLiteral("NO"), showsMenuBar},
      {"showMenuBar as a number", "showMenuBar", 0.0, showsMenuBar},
      {"menuBarGraphs as text", "menuBarGraphs", QStringLiteral("false"),
       [](const AppSettings& s) { return s.menuBarGraphs(); }},
      {"menuBarItems with an unknown item", "menuBarItems", QByteArray(R"(["cpu","gpu"])"), defaultItems},
      {"menuBarItems not a list", "menuBarItems", QByteArray(R"("cpu")"), defaultItems},
      {"latencyHost as a number", "latencyHost", 8.0,
       defaultsOf([](const AppSettings& s) { return s.latencyHost(); }, QStringLiteral("1.1.1.1"))},
      {"a user preset with a widget size of 3", "presets", json(QJsonArray{user, badUser}), onlyBuiltIns},
      {"presets as text", "presets", QStringLiteral("[]"), onlyBuiltIns},
      {"overrides of odd length", "builtInOverrides",
       json(QJsonArray{UuidText::format(DashboardPreset::overviewID), widgets, "x"}), noOverrides},
      {"overrides with a bad id", "builtInOverrides", json(QJsonArray{"overview", widgets}), noOverrides},
      {"selectedPreset not an identifier", "selectedPreset", QStringLiteral("overview"), isOverview},
      {"selectedPreset in braces", "selectedPreset", DashboardPreset::compactID.toString(QUuid::WithBraces),
       isOverview},
  };
}

TEST(AppSettings, UnreadableValuesFallBackToTheirDefaultsAndStayStored) {
  for (const auto& c : fallbackCases()) {
    MemoryPreferences domain;
    domain.set(c.key, c.stored);
    const int writes = domain.writeCount();
    AppSettings settings(domain);
    EXPECT_TRUE(c.holds(settings)) << c.name;
    EXPECT_EQ(domain.writeCount(), writes) << c.name;
    EXPECT_EQ(domain.object(c.key), Preferences::normalized(c.stored)) << c.name;
  }
}

QStringList settingsWarnings;

// Only warnings a user can turn off as "kivo.settings" count.
void collectSettingsWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("kivo.settings"))
    settingsWarnings << message;
}

// One bad field must not reset its whole block, nor pass silently; an interval outside
// what its setting allows is clamped (a flush interval of 1e308 would lose everything
// to a crash).
TEST(AppSettings, ObjectsAreReadFieldByFieldAndIntervalsClampedToTheirRanges) {
  TelemetryConfiguration custom;
  custom.interval = 3;
  custom.backgroundInterval = 12;
  custom.processInterval = 6;
  custom.slowInterval = 60;
  custom.batterySaver = false;
  custom.flushInterval = 45;
  const RetentionPolicy retention{5400, 604800, 7776000};
  IntelligenceThresholds thresholds;
  thresholds.cpuPercent = 70;
  thresholds.processEpisodes = 5;

  const struct {
    const char* key;
    const char* field;
    QJsonValue stored;
    std::function<bool(const AppSettings&)> holds;
  } cases[] = {
      {"telemetry", "interval", "abc",
       [&](const AppSettings& s) {
         TelemetryConfiguration expected = custom;
         expected.interval = 2;
         return s.telemetry() == expected;
       }},
      {"telemetry", "flushInterval", 1e308,
       [&](const AppSettings& s) { return s.telemetry().flushInterval == 300; }},
      {"telemetry", "flushInterval", -5,
       [&](const AppSettings& s) { return s.telemetry().flushInterval == 0; }},
      {"telemetry", "interval", 0.2, [&](const AppSettings& s) { return s.telemetry().interval == 1; }},
      {"telemetry", "interval", 11, [&](const AppSettings& s) { return s.telemetry().interval == 10; }},
      {"telemetry", "backgroundInterval", 31,
       [&](const AppSettings& s) {
         return s.telemetry().backgroundInterval == 30 && s.telemetry().interval == 3;
       }},
      {"telemetry", "processInterval", 0.1,
       [&](const AppSettings& s) { return s.telemetry().processInterval == 2; }},
      {"telemetry", "slowInterval", 5,
       [&](const AppSettings& s) { return s.telemetry().slowInterval == 10; }},
      {"telemetry", "slowInterval", 600,
       [&](const AppSettings& s) { return s.telemetry().slowInterval == 120; }},
      {"telemetry", "batterySaver", "false",
       [&](const AppSettings& s) {
         TelemetryConfiguration expected = custom;
         expected.batterySaver = true;
         return s.telemetry() == expected;
       }},
      {"retention", "hour", -1,
       [&](const AppSettings& s) {
         return s.retention() == RetentionPolicy{5400, 604800, 7776000};
       }},
      {"retention", "raw", "6h",
       [&](const AppSettings& s) {
         return s.retention() == RetentionPolicy{21600, 604800, 7776000};
       }},
      {"thresholds", "processEpisodes", 2.5,
       [&](const AppSettings& s) {
         IntelligenceThresholds expected = thresholds;
         expected.processEpisodes = 3;
         return s.thresholds() == expected;
       }},
      {"thresholds", "cpuPercent", QJsonValue(),
       [&](const AppSettings& s) {
         return s.thresholds().cpuPercent == 85 && s.thresholds().processEpisodes == 5;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "." + c.field);
    QJsonObject objects[] = {custom.toJson(), retention.toJson(), thresholds.toJson()};
    QJsonObject& object = objects[QString(c.key) == "telemetry" ? 0 : QString(c.key) == "retention" ? 1 : 2];
    object[QLatin1String(c.field)] = c.stored;
    MemoryPreferences domain;
    domain.setData("telemetry", json(objects[0]));
    domain.setData("retention", json(objects[1]));
    domain.setData("thresholds", json(objects[2]));
    settingsWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectSettingsWarning);
    AppSettings settings(domain);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(c.holds(settings));
    ASSERT_EQ(settingsWarnings.size(), 1) << settingsWarnings.join("\n").toStdString();
    EXPECT_TRUE(settingsWarnings.front().contains(QString(c.key) + "." + c.field))
        << settingsWarnings.front().toStdString();
    EXPECT_EQ(domain.data(c.key), json(object)) << "reading writes nothing";
  }
}

TEST(AppSettings, AFieldReplacedOnReadingIsKeptAsideAtTheFirstWrite) {
  QJsonObject telemetry = TelemetryConfiguration().toJson();
  telemetry["flushInterval"] = 1e308;
  MemoryPreferences domain;
  domain.setData("telemetry", json(telemetry));
  AppSettings settings(domain);
  TelemetryConfiguration faster = settings.telemetry();
  faster.interval = 1;
  settings.setTelemetry(faster);
  EXPECT_EQ(domain.data("telemetry.unreadable"), json(telemetry));
  EXPECT_EQ(AppSettings(domain).telemetry(), faster);
}

TEST(AppSettings, ValuesThatAreNotFallbacks) {
  MemoryPreferences domain;
  domain.setBool(QStringLiteral("showMenuBar"), false);
  domain.setString(QStringLiteral("latencyHost"), QString());
  domain.setString(QStringLiteral("privacyMask"), QStringLiteral("YES"));  // the domain's Boolean reading
  domain.setNumber(QStringLiteral("notifications"), 1);
  const QUuid gone = QUuid::createUuid();
  domain.setString(QStringLiteral("selectedPreset"), gone.toString(QUuid::WithoutBraces));  // lower case
  domain.setData(QStringLiteral("menuBarItems"), QByteArray(R"(["battery","cpu","battery"])"));
  AppSettings settings(domain);
  EXPECT_FALSE(settings.showMenuBar());
  EXPECT_EQ(settings.latencyHost(), QString());
  EXPECT_TRUE(settings.privacyMask());
  EXPECT_TRUE(settings.notifications());
  EXPECT_EQ(settings.selectedPreset(), gone);  // not compared with the list
  EXPECT_EQ(settings.menuBarItems(),
            (std::vector{MenuBarItem::battery, MenuBarItem::cpu, MenuBarItem::battery}));
}

// Values written into settings.json by hand: one outside what the settings window offers is
// brought to the nearest end it offers, and a setting written as plain JSON instead of the
// file's own wrapped form is read as that JSON; whatever is not used as it stands is said.
TEST(AppSettings, HandWrittenValuesAreHeldToTheWindowsRangesAndTakenInPlainJson) {
  const TelemetryConfiguration sampling;
  const RetentionPolicy keeping;
  const struct {
    const char* name;
    const char* entry;
    std::function<bool(const AppSettings&)> holds;
    const char* said;  // what the one warning names, or none
  } cases[] = {
      {"an interval below the slider", R"("telemetry": {"json": {"interval": -5}})",
       [](const AppSettings& s) { return s.telemetry().interval == 1; }, "telemetry.interval"},
      {"an interval above the slider, in plain JSON", R"("telemetry": {"interval": 60})",
       [](const AppSettings& s) { return s.telemetry().interval == 10; }, "telemetry.interval"},
      {"a tray interval below its slider", R"("telemetry": {"json": {"backgroundInterval": 0.5}})",
       [](const AppSettings& s) { return s.telemetry().backgroundInterval == 2; },
       "telemetry.backgroundInterval"},
      {"a retention beyond the longest choice", R"("retention": {"json": {"hour": 1e300}})",
       [](const AppSettings& s) { return s.retention().hour == 157'680'000; }, "retention.hour"},
      {"a retention of nothing, in plain JSON", R"("retention": {"raw": 0})",
       [](const AppSettings& s) { return s.retention().raw == 3'600; }, "retention.raw"},
      {"a retention between the choices", R"("retention": {"minute": 1000000})",
       [](const AppSettings& s) { return s.retention().minute == 1'000'000; }, nullptr},
      {"sampling in plain JSON", R"("telemetry": {"interval": 3})",
       [&](const AppSettings& s) {
         TelemetryConfiguration expected = sampling;
         expected.interval = 3;
         return s.telemetry() == expected && s.retention() == keeping;
       },
       nullptr},
      {"indicators in plain JSON", R"("menuBarItems": ["disk", "cpu"])",
       [](const AppSettings& s) {
         return s.menuBarItems() == std::vector{MenuBarItem::disk, MenuBarItem::cpu};
       },
       nullptr},
      {"sampling as a plain number", R"("telemetry": 3)",
       [&](const AppSettings& s) { return s.telemetry() == sampling; }, "telemetry"},
      {"a host name as an object", R"("latencyHost": {"host": "example.org"})",
       [](const AppSettings& s) { return s.latencyHost() == AppSettings::kDefaultLatencyHost; },
       "latencyHost"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("{") + c.entry + "}");
    file.close();
    JsonFilePreferences domain(path);
    settingsWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectSettingsWarning);
    AppSettings settings(domain);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(c.holds(settings));
    if (!c.said) {
      EXPECT_TRUE(settingsWarnings.isEmpty()) << settingsWarnings.join("\n").toStdString();
      continue;
    }
    ASSERT_EQ(settingsWarnings.size(), 1) << settingsWarnings.join("\n").toStdString();
    EXPECT_TRUE(settingsWarnings.front().contains(QLatin1String(c.said)))
        << settingsWarnings.front().toStdString();
  }
}

TEST(AppSettings, EveryPropertyRoundTripsThroughTheSettingsFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kivo-monitor/settings.json"));
  TelemetryConfiguration telemetry;
  telemetry.interval = 1.5;
  telemetry.batterySaver = false;
  telemetry.flushInterval = 0.1;
  std::vector<AlertRule> rules{AlertRule::defaults()[0], AlertRule::defaults()[5]};
  rules[0].threshold = 77.7;
  rules[1].isEnabled = false;
  IntelligenceThresholds thresholds;
  thresholds.processEpisodes = 9;
  thresholds.cpuPercent = 60.5;
  const QUuid userID = QUuid::createUuid();
  const std::vector<WidgetConfig> compactWidgets{WidgetConfig(K::alerts, S::large),
                                                 WidgetConfig(K::cpu, S::small)};
  const std::vector<WidgetConfig> orphanWidgets{WidgetConfig(K::gpu, S::medium)};
  const QUuid orphan = QUuid::createUuid();

  std::vector<DashboardPreset> presets;
  {
    JsonFilePreferences domain(path);
    AppSettings settings(domain);
    settings.setTelemetry(telemetry);
    settings.setRetention({3600, 1209600, 31536000.5});
    settings.setRules(rules);
    settings.setThresholds(thresholds);
    settings.setAppearance(AppearanceChoice::dark);
    settings.setDensity(DensityChoice::comfortable);
    settings.setColorBlindSafe(true);
    settings.setPrivacyMask(true);
    settings.setShowMenuBar(false);
    settings.setMenuBarItems({MenuBarItem::disk, MenuBarItem::disk, MenuBarItem::battery});
    settings.setMenuBarGraphs(false);
    settings.setNotifications(true);
    settings.setIncludeHostInReports(true);
    settings.setLatencyHost(QStringLiteral(" example.org "));
    presets = settings.presets();
    presets.push_back({userID, QStringLiteral("Mine"), {WidgetConfig(K::topMemory, S::large)}, false});
    settings.setPresets(presets);
    settings.updateWidgets(compactWidgets, DashboardPreset::compactID);
    settings.setBuiltInOverrides([&] {
      auto map = settings.builtInOverrides();
      map[orphan] = orphanWidgets;
      return map;
    }());
    settings.setSelectedPreset(userID);
    presets = settings.presets();
    EXPECT_TRUE(domain.lastError().isEmpty()) << domain.lastError().toStdString();
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  file.close();

  JsonFilePreferences domain(path);
  AppSettings settings(domain);
  EXPECT_EQ(settings.telemetry(), telemetry);
  EXPECT_EQ(settings.retention(), (RetentionPolicy{3600, 1209600, 31536000.5}));
  EXPECT_EQ(settings.rules(), rules);
  EXPECT_EQ(settings.thresholds(), thresholds);
  EXPECT_EQ(settings.appearance(), AppearanceChoice::dark);
  EXPECT_EQ(settings.density(), DensityChoice::comfortable);
  EXPECT_TRUE(settings.colorBlindSafe());
  EXPECT_TRUE(settings.privacyMask());
  EXPECT_FALSE(settings.showMenuBar());
  EXPECT_EQ(settings.menuBarItems(),
            (std::vector{MenuBarItem::disk, MenuBarItem::disk, MenuBarItem::battery}));
  EXPECT_FALSE(settings.menuBarGraphs());
  EXPECT_TRUE(settings.notifications());
  EXPECT_TRUE(settings.includeHostInReports());
  EXPECT_EQ(settings.latencyHost(), QStringLiteral(" example.org "));
  EXPECT_EQ(settings.selectedPreset(), userID);
  ASSERT_EQ(settings.presets().size(), 4u);
  EXPECT_EQ(settings.presets()[2], presets[2]);  // the override keeps its widget ids
  EXPECT_EQ(settings.presets()[3], presets[3]);
  EXPECT_EQ(settings.builtInOverrides().at(orphan), orphanWidgets);  // kept, though no built-in has the id
  EXPECT_EQ(settings.builtInOverrides().size(), 2u);

  // Constructing over a full file writes nothing.
  QFile again(path);
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), written);
  const QJsonObject root = QJsonDocument::fromJson(written).object();
  EXPECT_EQ(root.value(QStringLiteral("selectedPreset")).toString(), UuidText::format(userID));
  EXPECT_EQ(root.value(QStringLiteral("appearance")).toString(), QStringLiteral("dark"));
  EXPECT_TRUE(root.value(QStringLiteral("privacyMask")).isBool());
}

TEST(AppSettings, EqualAssignmentsWriteNothingAndSignalNothing) {
  MemoryPreferences domain;
  AppSettings settings(domain);
  SignalCounter spy(settings);
  settings.setPrivacyMask(false);
  settings.setShowMenuBar(true);
  settings.setTelemetry(TelemetryConfiguration());
  settings.setRules(AlertRule::defaults());
  settings.setLatencyHost(QStringLiteral("1.1.1.1"));
  settings.setMenuBarItems(AppSettings::defaultMenuBarItems());
  settings.setSelectedPreset(DashboardPreset::overviewID);
  settings.setPresets(settings.presets());
  settings.updateWidgets(settings.presets()[0].widgets, QUuid::createUuid());  // unknown id
  settings.resetBuiltIn(QUuid::createUuid());
  settings.deletePreset(DashboardPreset::overviewID);
  EXPECT_EQ(domain.writeCount(), 0);
  EXPECT_TRUE(spy.fired.isEmpty()) << spy.fired.join(',').toStdString();
  EXPECT_EQ(settings.presets().size(), 3u);

  settings.setPrivacyMask(true);
  EXPECT_EQ(domain.writeCount(), 1);
  EXPECT_EQ(spy.fired, QStringList{QStringLiteral("privacyMask")});
  EXPECT_EQ(domain.object(QStringLiteral("privacyMask")), QVariant(true));
  settings.setPrivacyMask(true);
  EXPECT_EQ(domain.writeCount(), 1);
}

TEST(AppSettings, AnUnreadableValueIsKeptAsideWhenFirstReplaced) {
  MemoryPreferences domain;
  const QByteArray corrupt("{\"interval\": 2, \"backgroundInterval\"");
  domain.setData(QStringLiteral("telemetry"), corrupt);
  domain.setString(QStringLiteral("appearance"), QStringLiteral("Dark"));
  domain.setData(QStringLiteral("menuBarItems"), QByteArray(R"(["cpu","gpu"])"));
  AppSettings settings(domain);
  const int before = domain.writeCount();

  // An assignment equal to the fallback changes nothing and writes nothing: the raw value stays.
  settings.setAppearance(AppearanceChoice::system);
  EXPECT_EQ(domain.writeCount(), before);
  EXPECT_EQ(domain.string(QStringLiteral("appearance")), QStringLiteral("Dark"));

  settings.setAppearance(AppearanceChoice::dark);
  EXPECT_EQ(domain.string(QStringLiteral("appearance")), QStringLiteral("dark"));
  EXPECT_EQ(domain.string(QStringLiteral("appearance.unreadable")), QStringLiteral("Dark"));
  EXPECT_EQ(domain.writeCount(), before + 1);  // both in one write

  TelemetryConfiguration faster;
  faster.interval = 1;
  settings.setTelemetry(faster);
  EXPECT_EQ(domain.data(QStringLiteral("telemetry.unreadable")), corrupt);
  settings.setMenuBarItems({MenuBarItem::battery});
  EXPECT_EQ(domain.data(QStringLiteral("menuBarItems.unreadable")), QByteArray(R"(["cpu","gpu"])"));

  // Only the first replacement moves it: later writes leave the kept value alone.
  settings.setAppearance(AppearanceChoice::light);
  EXPECT_EQ(domain.string(QStringLiteral("appearance.unreadable")), QStringLiteral("Dark"));

  AppSettings reread(domain);
  EXPECT_EQ(reread.telemetry(), faster);
  EXPECT_EQ(reread.appearance(), AppearanceChoice::light);
}

TEST(AppSettings, AnUnreadableValueNeverOverwritesOneKeptEarlier) {
  // An earlier run kept one unreadable appearance; this run finds another.
  MemoryPreferences domain;
  domain.setString(QStringLiteral("appearance.unreadable"), QStringLiteral("Dark"));
  domain.setString(QStringLiteral("appearance"), QStringLiteral("Sepia"));
  AppSettings settings(domain);
  settings.setAppearance(AppearanceChoice::light);
  EXPECT_EQ(domain.string(QStringLiteral("appearance")), QStringLiteral("light"));
  EXPECT_EQ(domain.string(QStringLiteral("appearance.unreadable")), QStringLiteral("Dark"));
  EXPECT_EQ(domain.string(QStringLiteral("appearance.unreadable.1")), QStringLiteral("Sepia"));
}

TEST(AppSettings, AValueThatWouldNotReadBackIsNotWritten) {
  MemoryPreferences domain;
  AppSettings settings(domain);
  SignalCounter spy(settings);
  TelemetryConfiguration broken;
  broken.interval = std::numeric_limits<double>::quiet_NaN();
  settings.setTelemetry(broken);
  EXPECT_FALSE(domain.contains(QStringLiteral("telemetry")));
  EXPECT_TRUE(std::isnan(settings.telemetry().interval));  // the assignment stands in memory
  EXPECT_EQ(spy.fired, QStringList{QStringLiteral("telemetry")});

  auto rules = AlertRule::defaults();
  rules[0].threshold = std::numeric_limits<double>::infinity();
  settings.setRules(rules);
  EXPECT_FALSE(domain.contains(QStringLiteral("rules")));
}

class PresetOperations : public ::testing::Test {
 protected:
  const DashboardPreset& at(std::size_t i) const { return settings->presets().at(i); }
  MemoryPreferences domain;
  std::unique_ptr<AppSettings> settings = std::make_unique<AppSettings>(domain);
};

TEST_F(PresetOperations, AChangedBuiltInKeepsItsWidgetsAcrossRuns) {
  const auto overviewIds = widgetIds(at(0));
  const std::vector<WidgetConfig> widgets{WidgetConfig(K::cpu, S::large), WidgetConfig(K::thermal, S::small)};
  SignalCounter spy(*settings);
  settings->updateWidgets(widgets, DashboardPreset::performanceID);
  EXPECT_EQ(spy.fired, (QStringList{QStringLiteral("presets"), QStringLiteral("builtInOverrides")}));
  EXPECT_EQ(settings->builtInOverrides().at(DashboardPreset::performanceID), widgets);

  settings = std::make_unique<AppSettings>(domain);
  EXPECT_EQ(at(1).widgets, widgets);
  EXPECT_EQ(at(1).name, QStringLiteral("Performance"));
  EXPECT_TRUE(at(1).isBuiltIn);
  EXPECT_EQ(layout(at(0)), layout(*DashboardPreset::builtIn(DashboardPreset::overviewID)));
  EXPECT_NE(widgetIds(at(0)), overviewIds);
  EXPECT_EQ(domain.data(QStringLiteral("presets")), QByteArray("[]"));

  // An empty list is a layout like any other.
  settings->updateWidgets({}, DashboardPreset::overviewID);
  EXPECT_TRUE(AppSettings(domain).presets()[0].widgets.empty());
}

TEST_F(PresetOperations, ResetGivesABuiltInItsShippedLayoutBack) {
  settings->updateWidgets({WidgetConfig(K::gpu, S::large)}, DashboardPreset::compactID);
  const auto before = widgetIds(*DashboardPreset::builtIn(DashboardPreset::compactID));
  settings->resetBuiltIn(DashboardPreset::compactID);
  EXPECT_EQ(settings->builtInOverrides().count(DashboardPreset::compactID), 0u);
  EXPECT_EQ(AppSettings::decodeOverrides(*domain.data(QStringLiteral("builtInOverrides")))->size(), 0u);
  EXPECT_EQ(layout(at(2)), layout(*DashboardPreset::builtIn(DashboardPreset::compactID)));
  EXPECT_EQ(at(2).widgets.size(), 8u);
  EXPECT_NE(widgetIds(at(2)), before);
  EXPECT_EQ(layout(AppSettings(domain).presets()[2]), layout(at(2)));
}

TEST_F(PresetOperations, ObserversMayEditPresetsWhileAnOperationTellsThem) {
  settings->updateWidgets({WidgetConfig(K::gpu, S::large)}, DashboardPreset::compactID);
  QObject receiver;
  QObject::connect(settings.get(), &AppSettings::builtInOverridesChanged, &receiver, [&] {
    if (settings->presets().size() < 8)
      settings->duplicatePreset(DashboardPreset::overviewID, QStringLiteral("c"));
  });
  settings->resetBuiltIn(DashboardPreset::compactID);
  EXPECT_EQ(layout(at(2)), layout(*DashboardPreset::builtIn(DashboardPreset::compactID)));
  EXPECT_EQ(settings->presets().size(), 4u);
  settings->updateWidgets({WidgetConfig(K::cpu, S::small)}, DashboardPreset::performanceID);
  EXPECT_EQ(layout(at(1)), (std::vector<std::pair<K, S>>{{K::cpu, S::small}}));
  EXPECT_EQ(settings->presets().size(), 5u);
}

TEST_F(PresetOperations, ResetOfAUserPresetChangesNothing) {
  const QUuid copy = settings->duplicatePreset(DashboardPreset::compactID, QStringLiteral("Mine"));
  const auto presets = settings->presets();
  const int writes = domain.writeCount();
  settings->resetBuiltIn(copy);
  EXPECT_EQ(settings->presets(), presets);
  EXPECT_EQ(domain.writeCount(), writes);
}

TEST_F(PresetOperations, DuplicateAppendsAUserCopyWithNewIds) {
  settings->duplicatePreset(DashboardPreset::compactID, QStringLiteral("First"));
  const QUuid id = settings->duplicatePreset(DashboardPreset::overviewID, QStringLiteral(" Overview "));
  ASSERT_EQ(settings->presets().size(), 5u);
  const DashboardPreset& copy = at(4);
  EXPECT_EQ(copy.id, id);
  EXPECT_EQ(copy.name, QStringLiteral(" Overview "));
  EXPECT_FALSE(copy.isBuiltIn);
  EXPECT_EQ(layout(copy), layout(at(0)));
  for (const auto& widget : copy.widgets) {
    for (const auto& original : at(0).widgets) EXPECT_NE(widget.id, original.id);
  }
  EXPECT_EQ(settings->selectedPreset(), DashboardPreset::overviewID);
  const auto stored = AppSettings::decodePresets(*domain.data(QStringLiteral("presets")));
  ASSERT_TRUE(stored);
  ASSERT_EQ(stored->size(), 2u);
  EXPECT_EQ(stored->at(1), copy);

  // An id that matches nothing copies the first preset.
  const QUuid fallback = settings->duplicatePreset(QUuid::createUuid(), QStringLiteral("x"));
  EXPECT_EQ(layout(settings->preset(fallback)), layout(at(0)));
  EXPECT_EQ(settings->preset(QUuid::createUuid()).id, DashboardPreset::overviewID);
}

TEST_F(PresetOperations, DeletingTheSelectedUserPresetSelectsOverview) {
  const QUuid a = settings->duplicatePreset(DashboardPreset::overviewID, QStringLiteral("A"));
  const QUuid b = settings->duplicatePreset(DashboardPreset::overviewID, QStringLiteral("B"));
  settings->setSelectedPreset(b);
  settings->deletePreset(a);
  EXPECT_EQ(settings->selectedPreset(), b);
  EXPECT_EQ(settings->presets().size(), 4u);
  settings->deletePreset(b);
  EXPECT_EQ(settings->selectedPreset(), DashboardPreset::overviewID);
  EXPECT_EQ(domain.string(QStringLiteral("selectedPreset")), UuidText::format(DashboardPreset::overviewID));
  EXPECT_EQ(settings->presets().size(), 3u);
  EXPECT_EQ(domain.data(QStringLiteral("presets")), QByteArray("[]"));

  settings->deletePreset(DashboardPreset::overviewID);
  EXPECT_EQ(settings->presets().size(), 3u);
}

TEST_F(PresetOperations, AssigningTheListStoresOnlyUserPresets) {
  auto presets = settings->presets();
  const DashboardPreset one{
      QUuid::createUuid(), QStringLiteral("One"), {WidgetConfig(K::disk, S::small)}, false};
  const DashboardPreset two{QUuid::createUuid(), QStringLiteral("Two"), {}, false};
  presets.insert(presets.begin() + 1, two);
  presets.push_back(one);
  settings->setPresets(presets);
  const auto stored = AppSettings::decodePresets(*domain.data(QStringLiteral("presets")));
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, (std::vector<DashboardPreset>{two, one}));
  const QJsonArray array = QJsonDocument::fromJson(*domain.data(QStringLiteral("presets"))).array();
  EXPECT_EQ(array[1].toObject().value(QStringLiteral("widgets")).toArray()[0].toObject().value("size"),
            QJsonValue(1));

  // After a new construction the built-ins come first, then the user presets in stored order.
  AppSettings reread(domain);
  ASSERT_EQ(reread.presets().size(), 5u);
  EXPECT_EQ(reread.presets()[3], two);
  EXPECT_EQ(reread.presets()[4], one);

  // A list emptied by a caller still answers with a preset.
  settings->setPresets({});
  EXPECT_EQ(settings->preset(DashboardPreset::compactID).id, DashboardPreset::overviewID);
}

TEST(AppSettingsOverrides, StoredSizesReadBackAndUnknownIdsAreKept) {
  MemoryPreferences domain;
  const QUuid stranger = QUuid::createUuid();
  const QJsonArray widgets{
      QJsonObject{{"id", UuidText::format(QUuid::createUuid())}, {"kind", "cpu"}, {"size", 1}},
      QJsonObject{{"id", UuidText::format(QUuid::createUuid())}, {"kind", "memory"}, {"size", 2}},
      QJsonObject{{"id", UuidText::format(QUuid::createUuid()).toLower()}, {"kind", "alerts"}, {"size", 4}}};
  domain.setData(QStringLiteral("builtInOverrides"),
                 json(QJsonArray{UuidText::format(stranger), widgets,
                                 UuidText::format(DashboardPreset::compactID), widgets}));
  AppSettings settings(domain);
  EXPECT_EQ(
      layout(settings.presets()[2]),
      (std::vector<std::pair<K, S>>{{K::cpu, S::small}, {K::memory, S::medium}, {K::alerts, S::large}}));
  EXPECT_EQ(settings.builtInOverrides().count(stranger), 1u);
  EXPECT_EQ(settings.presets().size(), 3u);
}

}  // namespace
}  // namespace kivo
