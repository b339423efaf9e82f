#include "features/dashboard/DashboardEditor.h"

#include "collectors/SystemInfo.h"
#include "metrics/ValueFormatter.h"
#include "settings/AppSettings.h"
#include "settings/JsonFilePreferences.h"
#include "settings/MemoryPreferences.h"
#include "settings/PreferenceDomains.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kivo {
namespace {

using Role = LayoutMenuEntry::Role;

std::vector<Role> roles(const std::vector<LayoutMenuEntry>& entries) {
  std::vector<Role> out;
  for (const auto& entry : entries) {
    if (entry.role != Role::preset) out.push_back(entry.role);
  }
  return out;
}

struct EditorFixture : ::testing::Test {
  MemoryPreferences domain;
  AppSettings settings{domain};
};

TEST_F(EditorFixture, LayoutMenuOffersResetForBuiltInsAndDeleteForCustomOnes) {
  DashboardEditor main(settings, DashboardPreset::performanceID, false);
  auto entries = main.layoutMenu();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[0].text, "Overview");
  EXPECT_FALSE(entries[0].checked);
  EXPECT_TRUE(entries[1].checked);
  EXPECT_EQ(roles(entries),
            (std::vector<Role>{Role::divider, Role::saveAs, Role::reset, Role::divider, Role::openWindow}));
  EXPECT_EQ(entries.back().text, "Open in New Window");

  const QUuid custom = settings.duplicatePreset(DashboardPreset::overviewID, QStringLiteral("Mine"));
  DashboardEditor detached(settings, custom, true);
  entries = detached.layoutMenu();
  // A detached page's menu ends with the delete entry: no divider, no new window.
  EXPECT_EQ(roles(entries), (std::vector<Role>{Role::divider, Role::saveAs, Role::remove}));
  EXPECT_EQ(entries.back().text, "Delete Layout");
  EXPECT_TRUE(entries[3].checked);
  EXPECT_EQ(entries[3].text, "Mine");
}

TEST_F(EditorFixture, SavingTrimsTheNameAndOnlyTheMainPageSelectsIt) {
  DashboardEditor main(settings, DashboardPreset::overviewID, false);
  EXPECT_FALSE(main.saveAs(QStringLiteral(" \t ")));
  EXPECT_EQ(settings.presets().size(), 3u);
  EXPECT_EQ(main.presetID(), DashboardPreset::overviewID);

  const auto saved = main.saveAs(QStringLiteral("  Work \t"));
  ASSERT_TRUE(saved);
  EXPECT_EQ(settings.preset(*saved).name, "Work");
  EXPECT_EQ(main.presetID(), *saved);
  EXPECT_EQ(settings.selectedPreset(), *saved);

  DashboardEditor detached(settings, DashboardPreset::compactID, true);
  const auto other = detached.saveAs(QStringLiteral("Side"));
  ASSERT_TRUE(other);
  EXPECT_EQ(detached.presetID(), *other);
  EXPECT_EQ(settings.selectedPreset(), *saved);
}

TEST_F(EditorFixture, DeletingACustomPresetShowsOverviewFirst) {
  const QUuid custom = settings.duplicatePreset(DashboardPreset::compactID, QStringLiteral("Mine"));
  settings.setSelectedPreset(custom);
  DashboardEditor main(settings, custom, false);
  DashboardEditor detached(settings, DashboardPreset::performanceID, true);
  main.resetOrDelete();
  EXPECT_EQ(main.presetID(), DashboardPreset::overviewID);
  EXPECT_EQ(settings.selectedPreset(), DashboardPreset::overviewID);
  EXPECT_EQ(settings.presets().size(), 3u);
  // The selection changed: a detached page stays on its own preset.
  EXPECT_FALSE(detached.followSelection());
  EXPECT_EQ(detached.presetID(), DashboardPreset::performanceID);
}

TEST_F(EditorFixture, EditsGoThroughTheSettingsAndResetRestoresTheShippedLayout) {
  DashboardEditor editor(settings, DashboardPreset::compactID, false);
  const auto shipped = editor.preset().widgets;
  editor.add(WidgetKind::topCPU);
  ASSERT_EQ(editor.preset().widgets.size(), shipped.size() + 1);
  const WidgetConfig added = editor.preset().widgets.back();
  EXPECT_EQ(added.size, WidgetSize::medium);
  editor.resize(added.id, WidgetSize::large);
  editor.shift(added.id, -1);
  EXPECT_EQ(editor.preset().widgets[shipped.size() - 1].id, added.id);
  EXPECT_EQ(editor.preset().widgets[shipped.size() - 1].size, WidgetSize::large);
  EXPECT_FALSE(editor.move(added.id, added.id));
  EXPECT_TRUE(editor.move(added.id, shipped[0].id));
  EXPECT_EQ(editor.preset().widgets[0].id, added.id);
  editor.remove(added.id);
  EXPECT_EQ(editor.preset().widgets.size(), shipped.size());

  editor.resetOrDelete();
  const auto reset = editor.preset().widgets;
  ASSERT_EQ(reset.size(), shipped.size());
  for (std::size_t i = 0; i < reset.size(); ++i) EXPECT_EQ(reset[i].kind, shipped[i].kind);
}

TEST_F(EditorFixture, AWindowWhoseIdNamesNoPresetAdoptsTheOneItShows) {
  // "New Dashboard Window" opens with a fresh id: the page shows the first preset and acts on it.
  DashboardEditor fresh(settings, QUuid::createUuid(), true);
  EXPECT_EQ(fresh.presetID(), DashboardPreset::overviewID);
  fresh.add(WidgetKind::alerts);
  EXPECT_EQ(settings.preset(DashboardPreset::overviewID).widgets.back().kind, WidgetKind::alerts);
  EXPECT_TRUE(fresh.layoutMenu()[0].checked);

  // A preset deleted elsewhere: the page adopts what it now shows.
  const QUuid custom = settings.duplicatePreset(DashboardPreset::compactID, QStringLiteral("Mine"));
  DashboardEditor detached(settings, custom, true);
  settings.deletePreset(custom);
  EXPECT_TRUE(detached.adoptShownPreset());
  EXPECT_EQ(detached.presetID(), DashboardPreset::overviewID);
  EXPECT_EQ(roles(detached.layoutMenu()).back(), Role::reset);
}

TEST(DashboardEditorText, SystemLineAndPresetNames) {
  SystemInfo system;
  system.chip = QStringLiteral("AMD Ryzen 7 7840U");
  system.osVersion = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
  system.physicalMemory = 32ull << 30;
  const ValueFormatter format;
  EXPECT_EQ(
      DashboardEditor::systemLine(system, format),
      "AMD Ryzen 7 7840U · Debian GNU/Linux 12 (bookworm) · " + format.bytes(system.physicalMemory, true));
  system.physicalMemory = 0;
  EXPECT_TRUE(DashboardEditor::systemLine(system, format).endsWith(QStringLiteral(" · —")));
  DashboardPreset custom{QUuid::createUuid(), QStringLiteral("<b>Mine</b>"), {}, false};
  EXPECT_EQ(DashboardEditor::displayName(custom), "<b>Mine</b>");
}

// Test mode keeps the settings in their own suite file: edits land there and a new launch of
// the same suite reads them back.
TEST(DashboardEditorFile, EditsReachTheTestSuiteFile) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  const QStringList arguments{QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"),
                              QStringLiteral("YES")};
  QUuid saved;
  {
    const PreferenceDomains domains = PreferenceDomains::forLaunch(arguments);
    ASSERT_TRUE(domains.testSuite);
    AppSettings settings(domains.settings());
    DashboardEditor editor(settings, DashboardPreset::overviewID, false);
    editor.add(WidgetKind::overhead);
    saved = editor.saveAs(QStringLiteral(" Nightly ")).value();
  }
  JsonFilePreferences file(JsonFilePreferences::testSuitePath());
  AppSettings reread(file);
  EXPECT_EQ(reread.selectedPreset(), saved);
  EXPECT_EQ(reread.preset(saved).name, "Nightly");
  EXPECT_EQ(reread.preset(saved).widgets.back().kind, WidgetKind::overhead);
  EXPECT_EQ(reread.preset(DashboardPreset::overviewID).widgets.back().kind, WidgetKind::overhead);
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kivo
