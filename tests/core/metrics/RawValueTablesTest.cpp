#include "RawValueRoundTrip.h"

#include "analysis/AlertComparison.h"
#include "analysis/FindingKind.h"
#include "collectors/NetworkSample.h"
#include "collectors/PowerSample.h"
#include "collectors/SensorCapability.h"
#include "metrics/Metric.h"
#include "reporting/ReportKind.h"
#include "storage/EventKind.h"
#include "storage/StoreTier.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(RawValueTables, EveryCoreTableRoundTrips) {
  test::expectRoundTrips<Unit>("MetricUnit");
  test::expectRoundTrips<Quality>("MetricQuality");
  test::expectRoundTrips<ReportKinds>("ReportKind");
  test::expectRoundTrips<StoreTiers>("StoreTier");
  test::expectRoundTrips<EventKinds>("EventKind");
  test::expectRoundTrips<Capability>("CapabilityClass");
  test::expectRoundTrips<PowerSource>("PowerSourceKind");
  test::expectRoundTrips<InterfaceKinds>("InterfaceKind");
  test::expectRoundTrips<FindingKinds>("FindingKind");
  test::expectRoundTrips<AlertComparisons>("AlertComparison");
}

TEST(RawValueTables, OnlyAnExactRawValueDecodes) {
  EXPECT_EQ(AlertComparisons::fromRawValue(std::string_view("above")), AlertComparison::above);
  for (const char* text : {"Above", "above ", "", "abov"}) {
    EXPECT_FALSE(AlertComparisons::fromRawValue(std::string_view(text))) << text;
    EXPECT_FALSE(AlertComparisons::fromJson(QJsonValue(QString::fromLatin1(text)))) << text;
  }
  EXPECT_FALSE(AlertComparisons::fromJson(QJsonValue(0))) << "the case's number is no raw value";
}

}  // namespace
}  // namespace kivo
