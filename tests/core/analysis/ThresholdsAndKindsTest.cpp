#include "analysis/FindingKind.h"
#include "analysis/IntelligenceThresholds.h"

#include <QJsonDocument>

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace kivo;

namespace {

QJsonObject parse(const char* text) {
  return QJsonDocument::fromJson(QByteArray(text)).object();
}

TEST(FindingKind, RawValuesRoundTripExactly) {
  ASSERT_EQ(FindingKinds::allCases().size(), 7u);
  for (const FindingKind kind : FindingKinds::allCases()) {
    EXPECT_EQ(FindingKinds::fromRawValue(FindingKinds::rawValue(kind)), kind);
    EXPECT_EQ(FindingKinds::fromJson(FindingKinds::toJson(kind)), kind);
  }
  EXPECT_EQ(FindingKinds::rawValue(FindingKind::sustainedCPU), "sustainedCPU");
  EXPECT_EQ(FindingKinds::rawValue(FindingKind::thermalPressure), "thermalPressure");
  EXPECT_FALSE(FindingKinds::fromRawValue("SustainedCPU"));
  EXPECT_FALSE(FindingKinds::fromRawValue("sustainedCPU "));
  EXPECT_FALSE(FindingKinds::fromJson(QJsonValue(1)));
}

TEST(IntelligenceThresholds, DefaultsAndDocumentedObject) {
  const IntelligenceThresholds defaults;
  const auto decoded = IntelligenceThresholds::fromJson(
      parse(R"({"cpuPercent":85,"cpuMinutes":10,"pressureMinutes":5,"swapGrowthBytes":2147483648,)"
            R"("diskHorizonDays":30,"networkFloor":5242880,"processEpisodes":3})"));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, defaults);
  EXPECT_EQ(defaults.swapGrowthBytes, 2147483648.0);
  EXPECT_EQ(defaults.networkFloor, 5242880.0);

  IntelligenceThresholds changed;
  changed.cpuPercent = 70.5;
  changed.processEpisodes = 12;
  const QByteArray text = QJsonDocument(changed.toJson()).toJson(QJsonDocument::Compact);
  EXPECT_TRUE(text.contains("\"processEpisodes\":12")) << text.toStdString();
  EXPECT_EQ(IntelligenceThresholds::fromJson(QJsonDocument::fromJson(text).object()), changed);
}

TEST(IntelligenceThresholds, RejectsMissingOrIllTypedKeysAsAWhole) {
  const char* bad[] = {
      R"({"cpuPercent":85,"cpuMinutes":10,"pressureMinutes":5,"swapGrowthBytes":2147483648,"diskHorizonDays":30,"networkFloor":5242880})",
      R"({"cpuPercent":85,"cpuMinutes":10,"pressureMinutes":5,"swapGrowthBytes":2147483648,"diskHorizonDays":30,"networkFloor":5242880,"processEpisodes":2.5})",
      R"({"cpuPercent":85,"cpuMinutes":10,"pressureMinutes":5,"swapGrowthBytes":2147483648,"diskHorizonDays":30,"networkFloor":5242880,"processEpisodes":"3"})",
      R"({"cpuPercent":true,"cpuMinutes":10,"pressureMinutes":5,"swapGrowthBytes":2147483648,"diskHorizonDays":30,"networkFloor":5242880,"processEpisodes":3})",
  };
  for (const char* text : bad) {
    QString error;
    EXPECT_FALSE(IntelligenceThresholds::fromJson(parse(text), &error)) << text;
    EXPECT_FALSE(error.isEmpty());
  }
  // Unknown keys are ignored and no range is checked.
  const auto odd = IntelligenceThresholds::fromJson(
      parse(R"({"cpuPercent":-5,"cpuMinutes":0,"pressureMinutes":5,"swapGrowthBytes":0,"diskHorizonDays":30,)"
            R"("networkFloor":5242880,"processEpisodes":0,"later":1})"));
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->cpuPercent, -5);
}

TEST(IntelligenceThresholds, NonFiniteNumbersAreRejected) {
  QJsonObject object = IntelligenceThresholds{}.toJson();
  object.insert(QStringLiteral("networkFloor"), std::numeric_limits<double>::infinity());
  EXPECT_FALSE(IntelligenceThresholds::fromJson(object));
}

}  // namespace
