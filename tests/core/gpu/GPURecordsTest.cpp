#include "collectors/GPUDevice.h"
#include "collectors/GPUStatistics.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(GPUDevice, JsonRoundTripAndRequiredFields) {
  GPUDevice d;
  d.id = 1;
  d.name = QStringLiteral("Navi 23");
  d.vendorID = 0x1002;
  d.deviceID = 0x73ff;
  d.driver = QStringLiteral("amdgpu");
  d.isRemovable = false;
  d.isHeadless = false;
  const QJsonObject json = d.toJson();
  EXPECT_FALSE(json.contains(QStringLiteral("supportsRaytracing")));
  EXPECT_FALSE(json.contains(QStringLiteral("maxBufferLength")));
  EXPECT_EQ(GPUDevice::fromJson(json), d);

  EXPECT_TRUE(test::refusesWithoutEach(json, {"id", "name", "isHeadless"},
                                       [](const QJsonObject& o) { return GPUDevice::fromJson(o); }));
  QJsonObject badVendor = json;
  badVendor.insert(QStringLiteral("vendorID"), qint64{1} << 40);
  EXPECT_FALSE(GPUDevice::fromJson(badVendor));
  QJsonObject negativeId = json;
  negativeId.insert(QStringLiteral("id"), -1);
  EXPECT_FALSE(GPUDevice::fromJson(negativeId));
}

TEST(GPUStatistics, JsonRoundTripAndFigures) {
  GPUStatistics s(QStringLiteral("GPU"));
  EXPECT_FALSE(s.hasFigures());
  EXPECT_EQ(s.toJson().keys(), QStringList{QStringLiteral("name")});
  s.deviceUtilization = 37.0;
  s.memoryInUse = 512ull << 20;
  EXPECT_TRUE(s.hasFigures());
  EXPECT_EQ(GPUStatistics::fromJson(s.toJson()), s);

  EXPECT_FALSE(GPUStatistics::fromJson(QJsonObject{{QStringLiteral("deviceUtilization"), 5}}));
  EXPECT_FALSE(GPUStatistics::fromJson(
      QJsonObject{{QStringLiteral("name"), QStringLiteral("x")}, {QStringLiteral("memoryInUse"), -5}}));
}

}  // namespace
}  // namespace kivo
