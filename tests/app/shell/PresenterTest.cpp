#include "metrics/ValueFormatter.h"
#include "settings/MemoryPreferences.h"
#include "shell/AppSection.h"
#include "shell/RootPresenter.h"
#include "shell/ScreenshotHooks.h"
#include "shell/SingleInstance.h"

#include "TestSupport.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using RootPresenter::BadgeFigures;

TEST(AppSections, RawValuesRoundTripAndTheGroupsHoldEverySectionButOverviewOnce) {
  QStringList raws;
  for (AppSection section : AppSections::allCases()) {
    raws << AppSections::rawValue(section);
    EXPECT_EQ(AppSections::fromRawValue(AppSections::rawValue(section)), section);
  }
  EXPECT_EQ(raws, (QStringList{"overview", "cpu", "gpu", "memory", "disk", "network", "processes", "power",
                               "thermal", "history", "insights", "alerts", "reports"}));
  EXPECT_EQ(AppSections::hardware().size(), 7u);
  EXPECT_EQ(AppSections::analysis().size(), 5u);
  EXPECT_EQ(AppSections::analysis().front(), AppSection::processes);  // not a hardware row
  EXPECT_STREQ(AppSections::titleKey(AppSection::thermal), "Thermal & Sensors");
}

TEST(AppSections, TheLaunchOptionSelectsOnlyAnExactRawValue) {
  const struct {
    std::optional<QString> option;
    AppSection expected;
  } cases[] = {
      {QStringLiteral("processes"), AppSection::processes},
      {QStringLiteral("thermal"), AppSection::thermal},
      {QStringLiteral("Processes"), AppSection::overview},
      {QStringLiteral("sandwich"), AppSection::overview},
      {QString(), AppSection::overview},
      {std::nullopt, AppSection::overview},
  };
  for (const auto& c : cases) {
    QMap<QString, QVariant> arguments;
    if (c.option) arguments.insert(QStringLiteral("KIVOSection"), *c.option);
    const MemoryPreferences standard(arguments);
    EXPECT_EQ(AppSections::initial(standard), c.expected) << c.option.value_or("(absent)").toStdString();
  }
}

TEST(RootPresenter, EveryBadgeIsAbsentUntilItsFigureExists) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  const BadgeFigures none;
  for (AppSection section : AppSections::allCases()) {
    EXPECT_FALSE(RootPresenter::badge(section, none, format)) << AppSections::rawValue(section).toStdString();
    EXPECT_FALSE(RootPresenter::alertCapsule(section, none));
    EXPECT_FALSE(RootPresenter::insightCount(section, none));
  }
}

TEST(RootPresenter, BadgesFollowTheTable) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  BadgeFigures figures;
  figures.cpu = 42.4;
  figures.gpu = 7.6;
  figures.memory = 0;  // a zero physical size shows 0 %, not nothing
  figures.netDown = 2'500'000;
  figures.processes = 1234;
  figures.charge = 99.5;
  figures.firing = 3;
  figures.findings = 2;
  auto badge = [&](AppSection section) {
    return RootPresenter::badge(section, figures, format).value_or("∅");
  };
  EXPECT_EQ(badge(AppSection::cpu), "42%");
  EXPECT_EQ(badge(AppSection::gpu), "8%");
  EXPECT_EQ(badge(AppSection::memory), "0%");
  EXPECT_EQ(badge(AppSection::network), "↓ " + format.rate(2'500'000));
  EXPECT_EQ(badge(AppSection::processes), "1234");  // not grouped by the locale
  EXPECT_EQ(badge(AppSection::power), "100%");
  for (AppSection section : {AppSection::overview, AppSection::disk, AppSection::thermal, AppSection::history,
                             AppSection::insights, AppSection::alerts, AppSection::reports}) {
    EXPECT_EQ(badge(section), "∅") << AppSections::rawValue(section).toStdString();
  }
  EXPECT_EQ(RootPresenter::alertCapsule(AppSection::alerts, figures), 3);
  EXPECT_FALSE(RootPresenter::alertCapsule(AppSection::insights, figures));
  EXPECT_EQ(RootPresenter::insightCount(AppSection::insights, figures), 2);
  EXPECT_FALSE(RootPresenter::insightCount(AppSection::alerts, figures));
  EXPECT_EQ(RootPresenter::alertCapsuleAccessibleName(3), "3 active alerts");
  EXPECT_EQ(RootPresenter::alertCapsuleAccessibleName(1), "1 active alert");
}

TEST(RootPresenter, FooterTellsWhetherAndHowOftenSamplingRuns) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(RootPresenter::footerText(false, std::nullopt, format), "Starting…");
  EXPECT_EQ(RootPresenter::footerText(false, 2.0, format), "Sampling every 2.0 s");
  EXPECT_EQ(RootPresenter::footerText(false, 9.96, format), "Sampling every 10.0 s");
  EXPECT_EQ(RootPresenter::footerText(false, 15.0, format), "Sampling every 15 s");
  EXPECT_EQ(RootPresenter::footerText(true, 2.0, format), "Sampling paused");
  EXPECT_EQ(RootPresenter::footerText(true, std::nullopt, format), "Sampling paused");
}

TEST(ScreenshotHooks, TheOptionsGiveTheirStepsInOrderWithDelaysThatAddUp) {
  int settings = 0, panels = 0;
  QStringList exports;
  ScreenshotHooks::Actions actions;
  actions.openSettings = [&] { ++settings; };
  actions.showPanel = [&] { ++panels; };
  actions.exportMenuBar = [&](const QString& directory) { exports << directory; };

  EXPECT_TRUE(ScreenshotHooks::plan(MemoryPreferences(), actions).empty());
  EXPECT_TRUE(ScreenshotHooks::plan(MemoryPreferences({{"KIVOShowMenuPanel", "NO"}}), actions).empty());

  const MemoryPreferences all(
      {{"KIVOOpenSettings", "1"}, {"KIVOShowMenuPanel", "YES"}, {"KIVOExportMenuBar", "/tmp/x"}});
  const auto steps = ScreenshotHooks::plan(all, actions);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].key, "KIVOOpenSettings");
  EXPECT_EQ(steps[1].key, "KIVOShowMenuPanel");
  EXPECT_EQ(steps[2].key, "KIVOExportMenuBar");
  EXPECT_EQ(steps[0].delayMs + steps[1].delayMs + steps[2].delayMs, 32'000);
  EXPECT_EQ(steps[0].delayMs, 4'000);
  EXPECT_EQ(steps[0].delayMs + steps[1].delayMs, 12'000);
  for (const auto& step : steps) step.action();
  EXPECT_EQ(settings, 1);
  EXPECT_EQ(panels, 1);
  EXPECT_EQ(exports, QStringList{"/tmp/x"});

  const auto panelOnly = ScreenshotHooks::plan(MemoryPreferences({{"KIVOShowMenuPanel", "YES"}}), actions);
  ASSERT_EQ(panelOnly.size(), 1u);
  EXPECT_EQ(panelOnly[0].delayMs, 8'000);
  // Without the tray's hooks a step waits and does nothing.
  const auto empty = ScreenshotHooks::plan(all, {});
  for (const auto& step : empty) step.action();
}

TEST(SingleInstance, TheNameIsAValidBusNameThatFollowsTheDatabasePath) {
  const QString one = SingleInstance::serviceName(QStringLiteral("/tmp/kivo-a/telemetry.sqlite"));
  EXPECT_EQ(one, SingleInstance::serviceName(QStringLiteral("/tmp/./kivo-a/../kivo-a/telemetry.sqlite")));
  EXPECT_NE(one, SingleInstance::serviceName(QStringLiteral("/tmp/kivo-b/telemetry.sqlite")));
  // Elements of letters, digits and underscores, none starting with a digit; at most 255.
  static const QRegularExpression valid(
      QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)+$"));
  EXPECT_TRUE(valid.match(one).hasMatch()) << one.toStdString();
  EXPECT_LE(one.size(), 255);
}

}  // namespace
}  // namespace kivo
