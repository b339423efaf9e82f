#include "analysis/IntelligenceEngine.h"
#include "analysis/StoredEvents.h"

#include "TestSupport.h"

#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>
#include <locale>

using namespace kivo;

namespace {

QDateTime at(qint64 ms) {
  return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// What a user with a German locale has set: Qt's default and the C++ global locale.
class UnderGermanLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  void TearDown() override {
    std::locale::global(previous_);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  }
  std::locale previous_;
};

TEST_F(UnderGermanLocale, AlertEventPayload) {
  const AlertRule rule{QUuid::fromString(QStringLiteral("6f1c2a9e-0b7d-4c8e-9a51-2d3e4f5a6b7c")),
                       MetricID::cpuTotal,
                       AlertComparison::above,
                       90,
                       120,
                       900,
                       Severity::critical,
                       true};
  const AlertTransition fired{rule, AlertTransition::Kind::fired, 92.5, at(1'700'000'000'000), 600.7};
  const StoredEvent event = StoredEvents::alert(fired);
  EXPECT_EQ(event.code, QStringLiteral("alert.fired"));
  EXPECT_EQ(event.kind, EventKind::alert);
  EXPECT_EQ(event.severity, Severity::critical);
  EXPECT_EQ(event.metric, MetricID::cpuTotal);
  EXPECT_EQ(event.date, fired.date);
  const QMap<QString, QString> expected{
      {QStringLiteral("rule"), QStringLiteral("6F1C2A9E-0B7D-4C8E-9A51-2D3E4F5A6B7C")},
      {QStringLiteral("value"), QStringLiteral("92.5")},
      {QStringLiteral("threshold"), QStringLiteral("90.0")},
      {QStringLiteral("comparison"), QStringLiteral("above")},
      {QStringLiteral("held"), QStringLiteral("600")}};
  EXPECT_EQ(event.payload, expected);

  AlertRule disabled = rule;
  disabled.isEnabled = false;
  disabled.comparison = AlertComparison::below;
  const AlertTransition resolved{disabled, AlertTransition::Kind::resolved,
                                 std::numeric_limits<double>::quiet_NaN(), at(0), 0};
  const StoredEvent r = StoredEvents::alert(resolved);
  EXPECT_EQ(r.code, QStringLiteral("alert.resolved"));
  EXPECT_EQ(r.payload.value(QStringLiteral("value")), QStringLiteral("nan"));
  EXPECT_EQ(r.payload.value(QStringLiteral("held")), QStringLiteral("0"));
  EXPECT_EQ(r.payload.value(QStringLiteral("comparison")), QStringLiteral("below"));
}

TEST_F(UnderGermanLocale, SpikeEventsReadBackByTheDetector) {
  std::vector<StoredEvent> events;
  for (int i = 0; i < 3; ++i) {
    const ProcessSpikeTracker::Spike spike{QStringLiteral("encoder"), 4242,
                                           at(1'700'000'000'000 + i * 60'000), 45.9, 93.44 + i};
    events.push_back(StoredEvents::spike(spike));
  }
  EXPECT_EQ(events[0].code, QStringLiteral("process.spike"));
  EXPECT_EQ(events[0].kind, EventKind::process);
  EXPECT_EQ(events[0].date, at(1'700'000'000'000));
  EXPECT_FALSE(events[0].metric);
  EXPECT_EQ(events[0].payload.value(QStringLiteral("peak")), QStringLiteral("93.4"));
  EXPECT_EQ(events[0].payload.value(QStringLiteral("duration")), QStringLiteral("45"));
  EXPECT_EQ(events[0].payload.value(QStringLiteral("pid")), QStringLiteral("4242"));

  IntelligenceEngine::Inputs inputs;
  inputs.spikes = events;
  inputs.now = at(1'700'000'600'000);
  const auto findings = IntelligenceEngine::analyse(inputs, IntelligenceThresholds{});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_DOUBLE_EQ(findings[0].peak, 95.4);
  EXPECT_DOUBLE_EQ(findings[0].mean, (93.4 + 94.4 + 95.4) / 3);

  const StoredEvent gap = StoredEvents::gap(600.9, at(5000));
  EXPECT_EQ(gap.code, QStringLiteral("system.gap"));
  EXPECT_EQ(gap.kind, EventKind::system);
  EXPECT_EQ(gap.payload.value(QStringLiteral("seconds")), QStringLiteral("600"));
}

// The events the model records: what the history page and the reports read back.
TEST(StoredEvents, ModelEventsCarryTheirVocabulary) {
  const QDateTime date = at(1'700'000'000'000);
  struct Case {
    StoredEvent event;
    EventKind kind;
    Severity severity;
    const char* code;
    QMap<QString, QString> payload;
  };
  const QString note = QStringLiteral("nightly \"build\" — ünïcode");
  const Case cases[] = {
      {StoredEvents::bookmark(note, date), EventKind::bookmark, Severity::info, "bookmark", {{"note", note}}},
      {StoredEvents::discontinuity(QStringLiteral("system.sleep"), date),
       EventKind::system,
       Severity::info,
       "system.sleep",
       {}},
      {StoredEvents::discontinuity(QStringLiteral("system.wake"), date),
       EventKind::system,
       Severity::info,
       "system.wake",
       {}},
      {StoredEvents::network(true, QStringLiteral("eth0,wlan0"), date),
       EventKind::network,
       Severity::info,
       "network.online",
       {{"interfaces", "eth0,wlan0"}}},
      {StoredEvents::network(false, QString(), date),
       EventKind::network,
       Severity::warning,
       "network.offline",
       {{"interfaces", ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(c.event.id, 0);
    EXPECT_EQ(c.event.date, date);
    EXPECT_EQ(c.event.kind, c.kind);
    EXPECT_EQ(c.event.severity, c.severity);
    EXPECT_FALSE(c.event.metric.has_value());
    EXPECT_EQ(c.event.code, QLatin1String(c.code));
    EXPECT_EQ(c.event.payload, c.payload);
  }
}

}  // namespace
