#include "analysis/Finding.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace kivo;

namespace {

QDateTime ms(qint64 milliseconds) {
  return QDateTime::fromMSecsSinceEpoch(milliseconds, QTimeZone::utc());
}

Finding sample() {
  Finding f;
  f.kind = FindingKind::diskExhaustion;
  f.severity = Severity::critical;
  f.metric = MetricID::diskFree;
  f.start = ms(1'700'000'000'000);
  f.end = ms(1'700'086'400'000);
  f.threshold = 30;
  f.peak = 1e11;
  f.mean = 1e10;
  f.sampleCount = 1440;
  f.projected = ms(1'700'950'400'000);
  return f;
}

TEST(Finding, IdAndDuration) {
  Finding f = sample();
  f.kind = FindingKind::sustainedCPU;
  f.metric = MetricID::cpuTotal;
  f.start = ms(1'700'000'000'750);
  EXPECT_EQ(f.id(), QStringLiteral("sustainedCPU|1700000000||cpu.total"));
  f.kind = FindingKind::processSpikes;
  f.subject = QStringLiteral("mds");
  EXPECT_EQ(f.id(), QStringLiteral("processSpikes|1700000000|mds|cpu.total"));
  f.start = ms(-1500);
  f.subject.reset();
  EXPECT_EQ(f.id(), QStringLiteral("processSpikes|-1||cpu.total"));
  EXPECT_DOUBLE_EQ(sample().duration(), 86400);
}

TEST(Finding, FindingsOfTwoMetricsStartingTogetherHaveDistinctIds) {
  Finding down = sample();
  down.kind = FindingKind::networkAnomaly;
  down.metric = MetricID::netDown;
  Finding up = down;
  up.metric = MetricID::netUp;
  EXPECT_NE(down.id(), up.id());
}

TEST(Finding, JsonRoundTripWithIsoDates) {
  const Finding f = sample();
  const QJsonObject object = f.toJson();
  EXPECT_EQ(object.value(QStringLiteral("start")).toString(), QStringLiteral("2023-11-14T22:13:20Z"));
  EXPECT_EQ(object.value(QStringLiteral("kind")).toString(), QStringLiteral("diskExhaustion"));
  EXPECT_EQ(object.value(QStringLiteral("metric")).toInt(), 32);
  EXPECT_EQ(object.value(QStringLiteral("severity")).toInt(), 2);
  EXPECT_FALSE(object.contains(QStringLiteral("subject")));
  EXPECT_FALSE(object.contains(QStringLiteral("id")));
  EXPECT_FALSE(object.contains(QStringLiteral("duration")));
  const QByteArray text = QJsonDocument(object).toJson();
  EXPECT_EQ(Finding::fromJson(QJsonDocument::fromJson(text).object()), f);

  Finding spikes = sample();
  spikes.kind = FindingKind::processSpikes;
  spikes.subject = QStringLiteral("Ünïcode \"name\"");
  spikes.projected.reset();
  spikes.occurrences = 4;
  EXPECT_EQ(Finding::fromJson(spikes.toJson()), spikes);
  EXPECT_FALSE(spikes.toJson().contains(QStringLiteral("concurrent")));
  spikes.concurrent = 8;
  EXPECT_EQ(Finding::fromJson(spikes.toJson()), spikes);

  // Another writer's offset form names the same instant.
  QJsonObject offset = f.toJson();
  offset.insert(QStringLiteral("start"), QStringLiteral("2023-11-15T00:13:20+02:00"));
  EXPECT_EQ(Finding::fromJson(offset)->start, f.start);
}

TEST(Finding, DecodingOptionalAndRequiredKeys) {
  QJsonObject object = sample().toJson();
  object.remove(QStringLiteral("projected"));
  const auto decoded = Finding::fromJson(object);
  ASSERT_TRUE(decoded);
  EXPECT_FALSE(decoded->subject);
  EXPECT_FALSE(decoded->projected);

  EXPECT_TRUE(test::refusesWithoutEach(sample().toJson(),
                                       {"kind", "severity", "metric", "start", "end", "threshold", "peak",
                                        "mean", "sampleCount", "occurrences"},
                                       [](const QJsonObject& o) { return Finding::fromJson(o); }));
  struct Bad {
    const char* key;
    QJsonValue value;
  };
  const Bad bad[] = {{"subject", 5},
                     {"projected", QStringLiteral("tomorrow")},
                     {"start", 1700000000},
                     {"kind", QStringLiteral("cpu")},
                     {"end", QStringLiteral("2023-11-14T22:13:20")},  // no zone
                     {"end", QStringLiteral("2023-11-14")},
                     {"sampleCount", 1.5},
                     {"occurrences", QStringLiteral("1")},
                     {"concurrent", 2.5}};
  for (const auto& b : bad) {
    QJsonObject changed = sample().toJson();
    changed.insert(QLatin1String(b.key), b.value);
    QString error;
    EXPECT_FALSE(Finding::fromJson(changed, &error)) << b.key;
    EXPECT_FALSE(error.isEmpty());
  }
}

}  // namespace
