#include "collectors/SensorCapability.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(CapabilityClass, ListsEveryCaseByName) {
  const auto all = Capability::allCases();
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(Capability::rawValue(all.front()), "publicAPI");
  EXPECT_EQ(Capability::rawValue(all.back()), "bestEffort");
  for (auto c : all) EXPECT_EQ(Capability::fromRawValue(Capability::rawValue(c)), c);
  EXPECT_FALSE(Capability::fromRawValue("public"));
}

TEST(SensorCapability, JsonNeedsEveryKey) {
  const SensorCapability row{QStringLiteral("gpu.devices"),
                             QStringLiteral("GPU devices"),
                             QStringLiteral("GPU"),
                             CapabilityClass::publicAPI,
                             true,
                             QStringLiteral("/sys/class/drm"),
                             QString()};
  const QJsonObject json = row.toJson();
  EXPECT_EQ(json.value(QStringLiteral("classification")).toString(), QStringLiteral("publicAPI"));
  EXPECT_EQ(SensorCapability::fromJson(json), row);
  EXPECT_TRUE(
      test::refusesWithoutAnyKey(json, [](const QJsonObject& o) { return SensorCapability::fromJson(o); }));
  QJsonObject bad = json;
  bad.insert(QStringLiteral("classification"), QStringLiteral("root"));
  EXPECT_FALSE(SensorCapability::fromJson(bad));
}

}  // namespace
}  // namespace kivo
