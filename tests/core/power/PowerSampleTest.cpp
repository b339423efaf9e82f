#include "collectors/PowerSample.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <limits>

namespace kivo {
namespace {

PowerSample fullSample() {
  PowerSample s(true, PowerSourceKind::battery, false, false, true);
  s.charge = 101.5;
  s.minutesToEmpty = 95;
  s.health = QStringLiteral("Good");
  s.adapterWatts = 65;
  s.adapterName = QStringLiteral("USB-C PD");
  s.cycleCount = 0;  // a new battery: zero is a reading, not "absent"
  s.designCapacity = 5000;
  s.maxCapacity = 4500;
  s.voltage = 12.0;
  s.amperage = -1.5;
  s.temperature = 31.5;
  s.systemWatts = 18.0;
  return s;
}

TEST(PowerSourceKind, RawValuesAreCaseNames) {
  ASSERT_EQ(PowerSource::allCases().size(), 4u);
  for (auto kind : PowerSource::allCases())
    EXPECT_EQ(PowerSource::fromRawValue(PowerSource::rawValue(kind)), kind);
  EXPECT_EQ(PowerSource::rawValue(PowerSourceKind::ups), "ups");
  EXPECT_FALSE(PowerSource::fromRawValue("AC"));
}

TEST(PowerSample, ComputedFlowAndCapacityRatio) {
  PowerSample s = fullSample();
  ASSERT_TRUE(s.batteryWatts());
  EXPECT_DOUBLE_EQ(*s.batteryWatts(), -18.0);
  ASSERT_TRUE(s.capacityRatio());
  EXPECT_DOUBLE_EQ(*s.capacityRatio(), 0.9);

  s.amperage.reset();
  EXPECT_FALSE(s.batteryWatts());
  s.designCapacity = 0;
  EXPECT_FALSE(s.capacityRatio());
  s.designCapacity.reset();
  EXPECT_FALSE(s.capacityRatio());
}

TEST(PowerSample, JsonRoundTripKeepsEveryFieldAndLeavesAbsentOut) {
  const PowerSample full = fullSample();
  const QJsonObject json = full.toJson();
  EXPECT_EQ(json.value(QStringLiteral("source")).toString(), QStringLiteral("battery"));
  EXPECT_EQ(json.value(QStringLiteral("cycleCount")).toInteger(-1), 0);
  EXPECT_EQ(PowerSample::fromJson(json), full);
  // Through text as well, as stored payloads travel.
  const auto reread = QJsonDocument::fromJson(QJsonDocument(json).toJson()).object();
  EXPECT_EQ(PowerSample::fromJson(reread), full);

  const PowerSample bare(false, PowerSourceKind::unknown, false, false, std::nullopt);
  const QJsonObject bareJson = bare.toJson();
  EXPECT_EQ(bareJson.keys().size(), 4);  // no power profile to read: no lowPowerMode
  EXPECT_FALSE(bareJson.contains(QStringLiteral("charge")));
  EXPECT_EQ(PowerSample::fromJson(bareJson), bare);
}

TEST(PowerSample, JsonRejectsMissingFlagsAndWrongTypes) {
  const QJsonObject good = fullSample().toJson();
  EXPECT_TRUE(test::refusesWithoutEach(good, {"hasBattery", "source", "isCharging", "isCharged"},
                                       [](const QJsonObject& o) { return PowerSample::fromJson(o); }));
  struct Case {
    const char* key;
    QJsonValue value;
  };
  const Case bad[] = {
      {"source", QStringLiteral("mains")},
      {"hasBattery", 1},
      {"charge", QStringLiteral("50")},
      {"minutesToEmpty", 12.5},
      {"health", 3},
      {"amperage", QJsonValue(true)},
      {"designCapacity", QStringLiteral("5000")},
      {"lowPowerMode", 0},
  };
  for (const auto& c : bad) {
    QJsonObject o = good;
    o.insert(QLatin1String(c.key), c.value);
    EXPECT_FALSE(PowerSample::fromJson(o)) << c.key;
  }
  // Null stands for absent in an optional field.
  QJsonObject withNull = good;
  withNull.insert(QStringLiteral("voltage"), QJsonValue::Null);
  const auto decoded = PowerSample::fromJson(withNull);
  ASSERT_TRUE(decoded);
  EXPECT_FALSE(decoded->voltage);
}

TEST(PowerSample, LargeIntegersSurviveJsonExactly) {
  PowerSample s(true, PowerSourceKind::ac, true, false, false);
  s.cycleCount = (std::int64_t{1} << 53) + 1;  // not representable as a double
  EXPECT_EQ(PowerSample::fromJson(s.toJson()), s);
}

}  // namespace
}  // namespace kivo
