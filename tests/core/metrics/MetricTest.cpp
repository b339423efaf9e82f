#include "metrics/Metric.h"

#include "JsonDecoding.h"
#include "LinuxNames.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <set>

using namespace kivo;

TEST(MetricID, RawValuesAndKeysRoundTripInDeclarationOrder) {
  const auto all = Metric::allCases();
  ASSERT_EQ(all.size(), 27u);
  EXPECT_EQ(all.front(), MetricID::cpuTotal);
  EXPECT_EQ(all.back(), MetricID::selfMemory);
  std::set<int> raws;
  std::set<std::string_view> keys;
  int previous = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const MetricID id = all[i];
    EXPECT_GT(Metric::rawValue(id), previous) << "raw values ascend in declaration order";
    previous = Metric::rawValue(id);
    EXPECT_EQ(Metric::fromRawValue(Metric::rawValue(id)), id);
    EXPECT_EQ(Metric::fromKey(Metric::key(id)), id);
    EXPECT_EQ(Metric::index(id), static_cast<int>(i));
    EXPECT_EQ(Metric::fromJson(Metric::toJson(id)), id);
    raws.insert(Metric::rawValue(id));
    keys.insert(Metric::key(id));
  }
  EXPECT_EQ(raws.size(), 27u);
  EXPECT_EQ(keys.size(), 27u);
}

TEST(MetricID, LookupEdgeCases) {
  struct RawCase {
    std::int64_t raw;
    std::optional<MetricID> expected;
  };
  for (const auto& c : std::initializer_list<RawCase>{{5, std::nullopt},
                                                      {20, std::nullopt},
                                                      {0, std::nullopt},
                                                      {92, std::nullopt},
                                                      {-1, std::nullopt},
                                                      {1000, std::nullopt},
                                                      {91, MetricID::selfMemory},
                                                      {32, MetricID::diskFree},
                                                      {60, MetricID::thermalState}}) {
    EXPECT_EQ(Metric::fromRawValue(c.raw), c.expected) << c.raw;
  }
  struct KeyCase {
    std::string_view key;
    std::optional<MetricID> expected;
  };
  for (const auto& c : std::initializer_list<KeyCase>{{"CPU.TOTAL", std::nullopt},
                                                      {"cpu.total ", std::nullopt},
                                                      {"", std::nullopt},
                                                      {"memory.swap", MetricID::swapUsed},
                                                      {"cpu.load1", MetricID::loadAverage1},
                                                      {"self.memory", MetricID::selfMemory}}) {
    EXPECT_EQ(Metric::fromKey(c.key), c.expected) << c.key;
  }
  // JSON: only integral numbers that name a metric.
  EXPECT_FALSE(Metric::fromJson(QJsonValue(1.5)));
  EXPECT_FALSE(Metric::fromJson(QJsonValue(QStringLiteral("1"))));
  EXPECT_FALSE(Metric::fromJson(QJsonValue(5)));
  EXPECT_EQ(Metric::fromJson(QJsonValue(4.0)), MetricID::loadAverage1);
}

TEST(MetricUnitAndQuality, NamesRoundTrip) {
  ASSERT_EQ(Unit::allCases().size(), 11u);
  for (MetricUnit unit : Unit::allCases()) EXPECT_EQ(Unit::fromRawValue(Unit::rawValue(unit)), unit);
  EXPECT_EQ(Unit::rawValue(MetricUnit::bytesPerSecond), "bytesPerSecond");
  EXPECT_FALSE(Unit::fromRawValue("Percent"));
  ASSERT_EQ(Quality::allCases().size(), 5u);
  for (MetricQuality q : Quality::allCases()) EXPECT_EQ(Quality::fromRawValue(Quality::rawValue(q)), q);
  EXPECT_EQ(Quality::rawValue(MetricQuality::bestEffort), "bestEffort");
  EXPECT_FALSE(Quality::fromRawValue("best effort"));
}

TEST(MetricCatalog, OneRowPerMetricInOrder) {
  const auto all = MetricCatalog::all();
  ASSERT_EQ(all.size(), 27u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].id, Metric::allCases()[i]);
    EXPECT_EQ(&MetricCatalog::descriptor(all[i].id), &all[i]);
    EXPECT_FALSE(all[i].name.isEmpty());
    EXPECT_FALSE(all[i].source.isEmpty());
    EXPECT_FALSE(all[i].method.isEmpty());
  }
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::selfCPU).name, QStringLiteral("KIVO Monitor CPU"));
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::selfMemory).name, QStringLiteral("KIVO Monitor memory"));
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::thermalState).unit, MetricUnit::level);
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::batteryPower).quality, MetricQuality::bestEffort);
  // Linux derives these two from indirect signals.
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::memPressure).quality, MetricQuality::estimated);
  EXPECT_EQ(MetricCatalog::descriptor(MetricID::thermalState).quality, MetricQuality::estimated);
}

TEST(MetricCatalog, TextsNameOnlyLinuxSources) {
  for (const auto& d : MetricCatalog::all()) {
    for (const QString& text : {d.name, d.source, d.method})
      EXPECT_TRUE(test::namesOnlyLinux(text)) << Metric::key(d.id);
  }
}

TEST(MetricCatalog, TheListOfLinuxNamesRefusesNamesNotOnIt) {
  for (const char* text :
       {"Open Frobber to free space.", "Read through FrobKit.", "Needs quuxOS 14 or later.",
        "quux_statistics64", "Check Frob Preferences.", "frob_pidinfo(3) on every pid"}) {
    EXPECT_FALSE(test::namesOnlyLinux(QString::fromUtf8(text))) << text;
  }
  EXPECT_TRUE(test::namesOnlyLinux(QStringLiteral("Read from /proc/stat and statvfs(3) by KIVO Monitor.")));
}

TEST(MetricDescriptor, JsonWritesNumbersAndNamesAndReadsBackStrictly) {
  const auto& d = MetricCatalog::descriptor(MetricID::diskFree);
  const QJsonObject json = d.toJson();
  EXPECT_TRUE(json.value(QStringLiteral("id")).isDouble());
  EXPECT_EQ(json.value(QStringLiteral("id")).toInt(), 32);
  EXPECT_EQ(json.value(QStringLiteral("unit")).toString(), QStringLiteral("bytes"));
  EXPECT_EQ(json.value(QStringLiteral("quality")).toString(), QStringLiteral("measured"));
  EXPECT_EQ(MetricDescriptor::fromJson(json), d);

  QJsonObject extra = json;
  extra.insert(QStringLiteral("unknown"), 1);
  EXPECT_EQ(MetricDescriptor::fromJson(extra), d) << "unknown keys are ignored";

  EXPECT_TRUE(test::refusesWithoutEach(json, {"id", "name", "unit", "quality", "source", "method"},
                                       [](const QJsonObject& o) { return MetricDescriptor::fromJson(o); }));
  QJsonObject badUnit = json;
  badUnit.insert(QStringLiteral("unit"), QStringLiteral("furlongs"));
  EXPECT_FALSE(MetricDescriptor::fromJson(badUnit));
  QJsonObject badId = json;
  badId.insert(QStringLiteral("id"), 33);
  EXPECT_FALSE(MetricDescriptor::fromJson(badId));
  QJsonObject idAsText = json;
  idAsText.insert(QStringLiteral("id"), QStringLiteral("32"));
  EXPECT_FALSE(MetricDescriptor::fromJson(idAsText));
}
