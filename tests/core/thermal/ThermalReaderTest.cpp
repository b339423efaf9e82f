#include "collectors/ThermalReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

namespace kivo {
namespace {

TEST(ThermalZones, ListsZonesByNumberWithTheirTrips) {
  const auto zones = ThermalZones::read(KernelFiles(test::fixture("thermal-laptop")));
  ASSERT_EQ(zones.size(), 4u);
  EXPECT_EQ(zones[0].name, "thermal_zone0");
  EXPECT_EQ(zones[3].name, "thermal_zone10");  // by number, not by text
  EXPECT_EQ(zones[3].type, "TSKN");
  EXPECT_EQ(zones[0].trips, (std::vector<ThermalTrip>{{"critical", 105000}}));
  EXPECT_EQ(zones[1].trips.size(), 2u);
  EXPECT_TRUE(zones[2].trips.empty());
}

TEST(ThermalRule, LevelAgainstTripPoints) {
  const ThermalRule::Limits all{70000, 90000, 100000};
  struct Case {
    std::int64_t temp;
    ThermalRule::Limits limits;
    std::optional<ThermalLevel> expected;
  };
  const Case cases[] = {
      {69999, all, ThermalLevel::nominal},
      {70000, all, ThermalLevel::fair},  // reaching a trip counts
      {89999, all, ThermalLevel::fair},
      {90000, all, ThermalLevel::serious},
      {100000, all, ThermalLevel::critical},
      {99000, {std::nullopt, std::nullopt, 105000}, ThermalLevel::nominal},  // critical only
      {95000, {std::nullopt, 90000, std::nullopt}, ThermalLevel::serious},
      {50000, {}, std::nullopt},     // no limits: says nothing
      {-274000, all, std::nullopt},  // broken sensor
      {250000, all, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ThermalRule::level(c.temp, c.limits), c.expected) << c.temp;
}

TEST(ThermalRule, LimitsIgnorePlaceholderTrips) {
  const std::vector<ThermalTrip> trips{{"passive", 0},       {"passive", 95000}, {"passive", 85000},
                                       {"critical", 255000}, {"active", 40000},  {"hot", 99000}};
  EXPECT_EQ(ThermalRule::limits(trips), (ThermalRule::Limits{85000, 99000, std::nullopt}));
}

TEST(ThermalReader, FixtureTreesAtEachLevelAndWithoutZones) {
  struct Case {
    const char* fixture;
    std::optional<ThermalLevel> expected;
  };
  const Case cases[] = {
      {"thermal-nominal", ThermalLevel::nominal},
      {"thermal-fair", ThermalLevel::fair},
      {"thermal-serious", ThermalLevel::serious},
      {"thermal-critical", ThermalLevel::critical},
      {"thermal-laptop", ThermalLevel::fair},  // the warmest zone with real trips decides
      {"thermal-none", std::nullopt},
      {"thermal-notrips", std::nullopt},
      {"does-not-exist", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThermalReader::current(test::fixture(c.fixture)), c.expected) << c.fixture;
  }
}

TEST(ThermalReader, ReReadsTheKeptFilesAndSurvivesAVanishingZone) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::filesystem::copy(test::fixture("thermal-fair"), dir.path().toStdString(),
                        std::filesystem::copy_options::recursive);
  const QString temp = dir.path() + QStringLiteral("/sys/class/thermal/thermal_zone0/temp");
  auto write = [&](const char* text) {
    QFile file(temp);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  };
  ThermalReader reader(dir.path().toStdString());
  EXPECT_EQ(reader.read(), ThermalLevel::fair);
  write("101000\n");
  EXPECT_EQ(reader.read(), ThermalLevel::critical);
  write("garbage\n");
  EXPECT_EQ(reader.read(), std::nullopt);
  write("20000\n");
  EXPECT_EQ(reader.read(), ThermalLevel::nominal);
  ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/sys/class/thermal/thermal_zone0")).removeRecursively());
  reader.reset();
  EXPECT_EQ(reader.read(), std::nullopt);
}

TEST(ThermalReader, ThisMachineInventsNoLevel) {
  // Without a zone that has trip points there is no level at all, never "nominal".
  bool anyLimits = false;
  for (const auto& zone : ThermalZones::read(KernelFiles("/"))) {
    anyLimits = anyLimits || !ThermalRule::limits(zone.trips).empty();
  }
  if (!anyLimits) {
    EXPECT_EQ(ThermalReader::current(), std::nullopt);
  }
}

}  // namespace
}  // namespace kivo
