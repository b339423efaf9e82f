#include "scheduler/SchedulerMath.h"
#include "scheduler/TelemetryConfiguration.h"

#include <QJsonDocument>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kivo;

namespace {

QJsonObject parse(const char* text) {
  return QJsonDocument::fromJson(QByteArray(text)).object();
}

TEST(TelemetryConfiguration, Defaults) {
  const TelemetryConfiguration config;
  EXPECT_EQ(config.interval, 2);
  EXPECT_EQ(config.backgroundInterval, 5);
  EXPECT_EQ(config.processInterval, 4);
  EXPECT_EQ(config.slowInterval, 30);
  EXPECT_TRUE(config.batterySaver);
  EXPECT_TRUE(config.bestEffortMetrics);
  EXPECT_TRUE(config.historyEnabled);
  EXPECT_EQ(config.flushInterval, 30);
  EXPECT_EQ(TelemetryConfiguration::intervalRange.lower, 1);
  EXPECT_EQ(TelemetryConfiguration::intervalRange.upper, 10);
  EXPECT_TRUE(config.isValid());
}

TEST(TelemetryConfiguration, JsonRoundTripWritesEveryKey) {
  TelemetryConfiguration config;
  config.interval = 1.5;
  config.backgroundInterval = 7.25;
  config.processInterval = 3;
  config.slowInterval = 45;
  config.batterySaver = false;
  config.bestEffortMetrics = false;
  config.historyEnabled = false;
  config.flushInterval = 12;
  const QJsonObject object = config.toJson();
  EXPECT_EQ(object.size(), 8);
  const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
  const auto decoded = TelemetryConfiguration::fromJson(QJsonDocument::fromJson(text).object());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, config);
}

TEST(TelemetryConfiguration, DecodingIsStrictButIgnoresUnknownKeys) {
  const char* full =
      R"({"interval":0.1,"backgroundInterval":5,"processInterval":4,"slowInterval":30,"batterySaver":true,)"
      R"("bestEffortMetrics":true,"historyEnabled":true,"flushInterval":30,"extra":"x"})";
  QString error;
  const auto decoded = TelemetryConfiguration::fromJson(parse(full), &error);
  ASSERT_TRUE(decoded) << error.toStdString();
  EXPECT_EQ(decoded->interval, 0.1);  // no range check
  EXPECT_EQ(SchedulerMath::effectiveInterval(*decoded, true, false, false), 0.5);

  struct Bad {
    const char* json;
    const char* reasonContains;
  };
  const Bad bad[] = {
      {R"({"interval":2,"backgroundInterval":5,"processInterval":4,"slowInterval":30,"batterySaver":true,)"
       R"("bestEffortMetrics":true,"historyEnabled":true})",
       "flushInterval"},
      {R"({"interval":"2","backgroundInterval":5,"processInterval":4,"slowInterval":30,"batterySaver":true,)"
       R"("bestEffortMetrics":true,"historyEnabled":true,"flushInterval":30})",
       "interval"},
      {R"({"interval":2,"backgroundInterval":5,"processInterval":4,"slowInterval":30,"batterySaver":1,)"
       R"("bestEffortMetrics":true,"historyEnabled":true,"flushInterval":30})",
       "batterySaver"},
      {R"({"interval":2,"backgroundInterval":null,"processInterval":4,"slowInterval":30,"batterySaver":true,)"
       R"("bestEffortMetrics":true,"historyEnabled":true,"flushInterval":30})",
       "backgroundInterval"},
      {"{}", "interval"},
  };
  for (const auto& b : bad) {
    QString reason;
    EXPECT_FALSE(TelemetryConfiguration::fromJson(parse(b.json), &reason)) << b.json;
    EXPECT_TRUE(reason.contains(QLatin1String(b.reasonContains))) << reason.toStdString();
  }
}

TEST(TelemetryConfiguration, NonFiniteIntervalsAreInvalid) {
  TelemetryConfiguration config;
  config.flushInterval = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(config.isValid());
  QJsonObject object = TelemetryConfiguration{}.toJson();
  object.insert(QStringLiteral("slowInterval"), std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(TelemetryConfiguration::fromJson(object));
}

}  // namespace
