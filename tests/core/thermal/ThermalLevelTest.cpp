#include "collectors/ThermalLevel.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kivo {
namespace {

TEST(ThermalLevel, RawValues) {
  EXPECT_EQ(Thermal::fromRawValue(2), ThermalLevel::serious);
  EXPECT_FALSE(Thermal::fromRawValue(4));
  EXPECT_FALSE(Thermal::fromRawValue(-1));
  EXPECT_EQ(Thermal::rawValue(ThermalLevel::critical), 3);
  EXPECT_EQ(Thermal::name(ThermalLevel::fair), "fair");
}

TEST(ThermalLevel, OrdersByRawValue) {
  EXPECT_LT(ThermalLevel::fair, ThermalLevel::serious);
  std::vector<ThermalLevel> levels{ThermalLevel::critical, ThermalLevel::nominal, ThermalLevel::serious,
                                   ThermalLevel::fair};
  std::sort(levels.begin(), levels.end());
  EXPECT_EQ(levels, (std::vector<ThermalLevel>{ThermalLevel::nominal, ThermalLevel::fair,
                                               ThermalLevel::serious, ThermalLevel::critical}));
}

TEST(ThermalLevel, JsonIsTheInteger) {
  for (auto level : Thermal::allCases()) {
    const QJsonValue json = Thermal::toJson(level);
    EXPECT_TRUE(json.isDouble());
    EXPECT_EQ(Thermal::fromJson(json), level);
  }
  for (const QJsonValue& bad :
       {QJsonValue(4), QJsonValue(1.5), QJsonValue(QStringLiteral("fair")), QJsonValue(-1)}) {
    EXPECT_FALSE(Thermal::fromJson(bad));
  }
}

}  // namespace
}  // namespace kivo
