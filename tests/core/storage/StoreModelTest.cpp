#include "metrics/JsonFields.h"
#include "storage/EventKind.h"
#include "storage/RetentionPolicy.h"
#include "storage/Series.h"
#include "storage/Severity.h"
#include "storage/StoreStatistics.h"
#include "storage/StoreTier.h"
#include "storage/StoreTime.h"
#include "storage/StoredEvent.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace kivo;

namespace {

QDateTime utc(qint64 ms) {
  return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

}  // namespace

TEST(StoreModel, EnumerationsRoundTripTheirRawValues) {
  ASSERT_EQ(Severities::allCases().size(), 3u);
  for (Severity severity : Severities::allCases()) {
    EXPECT_EQ(Severities::fromRawValue(Severities::rawValue(severity)), severity);
    EXPECT_EQ(Severities::fromJson(Severities::toJson(severity)), severity);
  }
  EXPECT_LT(Severity::info, Severity::warning);
  EXPECT_LT(Severity::warning, Severity::critical);
  EXPECT_EQ(Severities::toJson(Severity::critical), QJsonValue(2));
  EXPECT_FALSE(Severities::fromRawValue(3));
  EXPECT_FALSE(Severities::fromJson(QJsonValue(1.5)));
  EXPECT_FALSE(Severities::fromJson(QJsonValue(QStringLiteral("warning"))));

  ASSERT_EQ(EventKinds::allCases().size(), 6u);
  for (EventKind kind : EventKinds::allCases()) {
    EXPECT_EQ(EventKinds::fromRawValue(EventKinds::rawValue(kind)), kind);
    EXPECT_EQ(EventKinds::fromJson(EventKinds::toJson(kind)), kind);
  }
  EXPECT_EQ(EventKinds::rawValue(EventKind::bookmark), "bookmark");
  EXPECT_FALSE(EventKinds::fromRawValue(std::string_view("Alert")));

  for (StoreTier tier : StoreTiers::allCases())
    EXPECT_EQ(StoreTiers::fromJson(StoreTiers::toJson(tier)), tier);
  EXPECT_EQ(StoreTiers::step(StoreTier::raw), 0);
  EXPECT_EQ(StoreTiers::step(StoreTier::minute), 60);
  EXPECT_EQ(StoreTiers::step(StoreTier::hour), 3600);
}

TEST(StoreModel, StoredEventJsonRoundTripsAndLeavesOutAbsentMetric) {
  StoredEvent event{7,
                    utc(1'700'000'000'123),
                    EventKind::alert,
                    Severity::warning,
                    MetricID::cpuTotal,
                    QStringLiteral("alert.fired"),
                    {{QStringLiteral("rule"), QStringLiteral("x \"é\"")}}};
  const QJsonObject json = event.toJson();
  EXPECT_EQ(json.value(QStringLiteral("date")).toString(), QStringLiteral("2023-11-14T22:13:20.123Z"));
  EXPECT_EQ(json.value(QStringLiteral("metric")).toInt(), 1);
  EXPECT_EQ(StoredEvent::fromJson(json), event);

  event.metric.reset();
  const QJsonObject withoutMetric = event.toJson();
  EXPECT_FALSE(withoutMetric.contains(QStringLiteral("metric")));
  EXPECT_EQ(StoredEvent::fromJson(withoutMetric), event);

  EXPECT_TRUE(test::refusesWithoutEach(json, {"id", "date", "kind", "severity", "code", "payload"},
                                       [](const QJsonObject& o) { return StoredEvent::fromJson(o); }));
  QJsonObject numberPayload = json;
  numberPayload.insert(QStringLiteral("payload"), QJsonObject{{QStringLiteral("pid"), 12}});
  EXPECT_FALSE(StoredEvent::fromJson(numberPayload));
  // A whole number past 64 bits is refused, not read as id 0.
  QJsonObject hugeId = json;
  hugeId.insert(QStringLiteral("id"), 1e30);
  EXPECT_FALSE(StoredEvent::fromJson(hugeId));
}

TEST(StoreModel, RetentionAndStatisticsJson) {
  const RetentionPolicy defaults;
  EXPECT_EQ(defaults, (RetentionPolicy{21600, 1209600, 63072000}));
  EXPECT_EQ(RetentionPolicy::fromJson(RetentionPolicy{1, 2, 3}.toJson()), (RetentionPolicy{1, 2, 3}));
  EXPECT_FALSE(
      RetentionPolicy::fromJson(QJsonObject{{QStringLiteral("raw"), 1}, {QStringLiteral("minute"), 2}}));
  EXPECT_FALSE(RetentionPolicy::fromJson(
      QJsonObject{{QStringLiteral("raw"), 1}, {QStringLiteral("minute"), 2}, {QStringLiteral("hour"), "3"}}));

  StoreStatistics statistics{10, 20, 30, 4, 123456, std::nullopt};
  EXPECT_FALSE(statistics.toJson().contains(QStringLiteral("earliest")));
  EXPECT_EQ(StoreStatistics::fromJson(statistics.toJson()), statistics);
  statistics.earliest = utc(3'600'000);
  EXPECT_EQ(StoreStatistics::fromJson(statistics.toJson()), statistics);
  QJsonObject hugeRows = statistics.toJson();
  hugeRows.insert(QStringLiteral("rawRows"), 1e30);
  EXPECT_FALSE(StoreStatistics::fromJson(hugeRows));
}

TEST(StoreModel, SeriesStatisticsWeightTheAverageByCount) {
  Series series;
  EXPECT_EQ(series.sampleCount(), 0);
  EXPECT_FALSE(series.minimum());
  EXPECT_FALSE(series.maximum());
  EXPECT_FALSE(series.average());

  series.points = {{0, 5, 12, 10, 3}, {60, 1, 30, 20, 1}};
  EXPECT_EQ(series.sampleCount(), 4);
  EXPECT_EQ(series.minimum(), 1);
  EXPECT_EQ(series.maximum(), 30);
  EXPECT_DOUBLE_EQ(*series.average(), 12.5);

  series.points = {{0, 5, 12, 10, 0}};
  EXPECT_FALSE(series.average());
}

TEST(StoreModel, SeriesJsonRoundTrips) {
  Series series{MetricID::netDown, StoreTier::minute, 120, {{60, 1, 2, 1.5, 4}}, {{180, 600}}};
  const QJsonObject json = series.toJson();
  EXPECT_EQ(json.value(QStringLiteral("metric")).toInt(), 40);
  EXPECT_EQ(json.value(QStringLiteral("tier")).toString(), QStringLiteral("minute"));
  const auto decoded = Series::fromJson(json);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->metric, MetricID::netDown);
  EXPECT_EQ(decoded->points, series.points);
  EXPECT_EQ(decoded->gaps, series.gaps);
  EXPECT_EQ(series.gaps[0].duration(), 420);
  EXPECT_EQ(series.points[0].date(), utc(60'000));

  QJsonObject point = series.points[0].toJson();
  point.insert(QStringLiteral("count"), 1e30);
  EXPECT_FALSE(SeriesPoint::fromJson(point));
  point.insert(QStringLiteral("count"), 2.5);
  EXPECT_FALSE(SeriesPoint::fromJson(point));
}

TEST(StoreModel, StoreTimeConvertsToSecondsAndBack) {
  EXPECT_EQ(StoreTime::seconds(utc(1'500)), 1.5);
  EXPECT_EQ(StoreTime::date(1.5), utc(1'500));
  EXPECT_TRUE(std::isnan(StoreTime::seconds(QDateTime())));
  EXPECT_FALSE(StoreTime::date(std::nan("")).isValid());
  EXPECT_LT(StoreTime::distantPast(), utc(-62'000'000'000'000));
  EXPECT_GT(StoreTime::distantFuture(), utc(253'000'000'000'000));
  EXPECT_EQ(JsonFields::as<QDateTime>(QJsonValue(QStringLiteral("2024-01-02T03:04:05Z"))),
            utc(1'704'164'645'000));
  EXPECT_FALSE(JsonFields::as<QDateTime>(QJsonValue(QStringLiteral("yesterday"))));
}
