#include "analysis/IntelligenceEngine.h"
#include "analysis/StoredEvents.h"
#include "storage/TimeSeriesStore.h"

#include "TestSupport.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using namespace kivo;

namespace {

QDateTime at(double seconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(seconds * 1000), QTimeZone::utc());
}

TEST(AnalysisOfHistory, ReadsTheWindowFromTheStore) {
  const double now = 1'700'006'400;  // a whole hour
  TimeSeriesStore store(std::nullopt);
  // Twenty minutes of busy CPU ending two minutes before now.
  for (double t = now - 1320; t < now - 120; t += 10) {
    const MetricValue values[] = {{MetricID::cpuTotal, 95}, {MetricID::thermalState, 0}};
    store.append(values, at(t));
  }
  ASSERT_TRUE(store.flush(at(now)));
  // Three spikes of one process inside the window, one long before it.
  for (double t : {now - 3000, now - 2000, now - 1000, now - 200000}) {
    store.record(StoredEvents::spike({QStringLiteral("encoder"), 7, at(t), 40, 90}));
  }
  StoredEvent bookmark;
  bookmark.date = at(now - 100);
  bookmark.kind = EventKind::bookmark;
  bookmark.code = QStringLiteral("process.spike");
  bookmark.payload.insert(QStringLiteral("name"), QStringLiteral("encoder"));
  store.record(bookmark);  // not a process event: never read

  const auto findings = IntelligenceEngine::findings(store, 86400, IntelligenceThresholds{}, at(now));
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].kind, FindingKind::sustainedCPU);
  EXPECT_EQ(findings[0].severity, Severity::warning);
  EXPECT_EQ(findings[0].start, at(now - 1320));
  EXPECT_EQ(findings[0].end, at(now - 120));
  EXPECT_EQ(findings[0].sampleCount, 120);
  EXPECT_EQ(findings[1].kind, FindingKind::processSpikes);
  EXPECT_EQ(findings[1].occurrences, 3);

  // A shorter window sees two of the spikes only.
  const auto hour = IntelligenceEngine::findings(store, 2500, IntelligenceThresholds{}, at(now));
  ASSERT_EQ(hour.size(), 1u);
  EXPECT_EQ(hour[0].kind, FindingKind::sustainedCPU);

  EXPECT_TRUE(IntelligenceEngine::findings(store, std::numeric_limits<double>::quiet_NaN(),
                                           IntelligenceThresholds{}, at(now))
                  .empty());
  EXPECT_TRUE(IntelligenceEngine::findings(store, 86400, IntelligenceThresholds{}, QDateTime()).empty());
}

}  // namespace
