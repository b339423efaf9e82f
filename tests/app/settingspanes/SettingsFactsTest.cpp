#include "TestSupport.h"
#include "features/settings/IndicatorSelection.h"
#include "features/settings/IntervalSlider.h"
#include "features/settings/RetentionChoices.h"
#include "features/settings/SettingsFacts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

using Items = std::vector<MenuBarItem>;
constexpr auto cpu = MenuBarItem::cpu;
constexpr auto memory = MenuBarItem::memory;
constexpr auto network = MenuBarItem::network;
constexpr auto disk = MenuBarItem::disk;
constexpr auto battery = MenuBarItem::battery;

TEST(IntervalSlider, PositionIsClampedBeforeConversionAndTextKeepsWhatIsStored) {
  const IntervalSlider slider{1, 10};
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double stored;
    int position;
    bool represents;
    const char* text;
  } cases[] = {
      {2, 2, true, "2 s"},         {0.5, 1, false, "0.5 s"},  // the test interval option
      {10, 10, true, "10 s"},      {12, 10, false, "12 s"},  {2.25, 2, false, "2.25 s"},
      {1e300, 10, false, nullptr},  // far beyond an int: no overflow, some text
      {inf, 10, false, "— s"},     {-inf, 1, false, "— s"},  {std::nan(""), 1, false, "— s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(slider.position(c.stored), c.position) << c.stored;
    EXPECT_EQ(slider.represents(c.stored), c.represents) << c.stored;
    const QString text = IntervalSlider::text(c.stored);
    if (c.text) {
      EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.stored;
    } else {
      EXPECT_TRUE(text.endsWith(QStringLiteral(" s"))) << c.stored;
    }
  }
}

TEST(RetentionChoices, StoredChoiceIsSelectedAndAnUnknownValueIsListedAsItIs) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  auto picker = RetentionChoices::picker(RetentionChoices::raw(), 21'600, format);
  ASSERT_EQ(picker.entries.size(), 4u);
  EXPECT_EQ(picker.entries[0].title, "1 hour");
  EXPECT_EQ(picker.entries[3].title, "3 days");
  EXPECT_EQ(picker.entries[3].seconds, 259'200);
  EXPECT_EQ(picker.selected, 1);
  EXPECT_FALSE(picker.extra);

  picker = RetentionChoices::picker(RetentionChoices::raw(), 5'400, format);
  ASSERT_EQ(picker.entries.size(), 5u);
  EXPECT_TRUE(picker.extra);
  EXPECT_EQ(picker.selected, 4);
  EXPECT_EQ(picker.entries[4].title, "1 h 30 min");
  EXPECT_EQ(picker.entries[4].seconds, 5'400);

  // The defaults are among the choices; a year is 365 days.
  EXPECT_FALSE(RetentionChoices::picker(RetentionChoices::minute(), 1'209'600, format).extra);
  EXPECT_EQ(RetentionChoices::picker(RetentionChoices::hour(), 63'072'000, format).selected, 2);
  EXPECT_EQ(RetentionChoices::hour()[1].seconds, 31'536'000);
}

TEST(IndicatorSelection, StoredListIsAlwaysInCaseOrderWithoutDuplicates) {
  const struct {
    Items current;
    MenuBarItem item;
    bool on;
    Items expected;
  } cases[] = {
      {{memory}, battery, true, {memory, battery}},
      {{memory, battery}, cpu, true, {cpu, memory, battery}},
      {{battery, cpu, cpu, network}, disk, true, {cpu, network, disk, battery}},  // hand-edited list
      {{battery, cpu, cpu, network}, cpu, false, {network, battery}},
      {{cpu}, cpu, false, {}},
      {{cpu}, cpu, true, {cpu}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IndicatorSelection::toggled(c.current, c.item, c.on), c.expected);
  }
  EXPECT_EQ(MenuBarItems::title(disk), "Disk activity");
}

TEST(SettingsFacts, StorageRowsShowStatisticsAndWhyTheHistoryIsNotWritten) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  StoreStatistics statistics;
  statistics.rawRows = 1'234'567;
  statistics.minuteRows = 1'000;
  statistics.hourRows = 0;
  statistics.fileBytes = 2'500'000;
  auto rows = SettingsFacts::storage(statistics, std::nullopt, true, format);
  EXPECT_TRUE(rows.statistics);
  EXPECT_EQ(rows.storedSamples, "1,234,567 · 1,000 · 0");
  EXPECT_EQ(rows.databaseSize, format.bytes(std::uint64_t{2'500'000}, false));
  EXPECT_FALSE(rows.oldest);
  EXPECT_FALSE(rows.error);

  statistics.earliest = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  EXPECT_EQ(SettingsFacts::storage(statistics, std::nullopt, true, format).oldest,
            format.date(*statistics.earliest));

  const QString full =
      QStringLiteral("The disk is full: 12 samples are waiting to be written. 3 older rows were dropped.");
  struct Case {
    const char* what;
    std::optional<StoreStatistics> statistics;
    std::optional<QString> error;
    bool open;
    bool showsStatistics;
    std::optional<QString> expected;
  };
  const Case cases[] = {
      {"no history", std::nullopt, QStringLiteral("disk I/O error"), false, false,
       QStringLiteral("The history database could not be opened: disk I/O error")},
      {"open, statistics not read yet", std::nullopt, std::nullopt, true, false, std::nullopt},
      {"open and healthy", statistics, std::nullopt, true, true, std::nullopt},
      // The failure shows beside the figures while it lasts, worded as the model gave it.
      {"open, flush failing", statistics, full, true, true, full},
      {"open, flush failing before the first statistics", std::nullopt, full, true, false, full},
  };
  for (const Case& c : cases) {
    rows = SettingsFacts::storage(c.statistics, c.error, c.open, format);
    EXPECT_EQ(rows.statistics, c.showsStatistics) << c.what;
    EXPECT_EQ(rows.error, c.expected) << c.what;
    // Erasing needs an open history; without one the button says why it is off.
    EXPECT_EQ(rows.eraseUnavailable.has_value(), !c.open) << c.what;
    if (c.showsStatistics) {
      EXPECT_EQ(rows.storedSamples, "1,234,567 · 1,000 · 0") << c.what;
    }
  }
}

TEST(SettingsFacts, AboutRowsReadDashForWhatIsMissing) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(SettingsFacts::versionLine("0.1.0", "42"), "Version 0.1.0 (42)");
  EXPECT_EQ(SettingsFacts::versionLine("0.1.0", ""), "Version 0.1.0 (—)");

  SystemInfo system;
  system.model = QStringLiteral("ThinkPad X1");
  system.chip = QStringLiteral("Intel Core i7");
  system.osVersion = QStringLiteral("Debian GNU/Linux 12");
  system.osBuild = QStringLiteral("6.1.0-18-amd64");
  EXPECT_EQ(SettingsFacts::computer(system).system, "Debian GNU/Linux 12 (6.1.0-18-amd64)");
  system.osBuild.clear();
  EXPECT_EQ(SettingsFacts::computer(system).system, "Debian GNU/Linux 12 (—)");

  auto rows = SettingsFacts::footprint(std::nullopt, nullptr, format);
  EXPECT_EQ(rows.cpu, "—");
  EXPECT_EQ(rows.memory, "—");
  EXPECT_EQ(rows.collection, "—");

  TelemetrySnapshot snapshot;
  snapshot.selfMemory = 48ull * 1024 * 1024;
  snapshot.collectionTime = 3.25;
  rows = SettingsFacts::footprint(1.5, &snapshot, format);
  EXPECT_EQ(rows.cpu, format.percent(1.5, 1));
  EXPECT_EQ(rows.memory, format.bytes(48.0 * 1024 * 1024, true));  // the 1024-based style
  EXPECT_EQ(rows.collection, format.number(3.25, 1) + " ms");
  snapshot.selfMemory.reset();
  EXPECT_EQ(SettingsFacts::footprint(std::nullopt, &snapshot, format).memory, "—");

  EXPECT_FALSE(SettingsFacts::intervalInForce(nullptr, format));
  snapshot.interval = 2;
  EXPECT_EQ(SettingsFacts::intervalInForce(&snapshot, format), "2.0 s");
}

}  // namespace
}  // namespace kivo
