#include "analysis/Detectors.h"
#include "analysis/EventPayload.h"
#include "analysis/IntelligenceEngine.h"

#include "TestSupport.h"

#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>

using namespace kivo;

namespace {

constexpr double kT0 = 1'700'000'040;  // a whole minute
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QDateTime dateAt(double seconds) {
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000)), QTimeZone::utc());
}

SeriesPoint point(double time, double avg, std::int64_t count = 30,
                  std::optional<double> max = std::nullopt) {
  return SeriesPoint{time, avg, max.value_or(avg), avg, count};
}

// Minute points at the given offsets (in steps from kT0), all with one average.
std::vector<SeriesPoint> minutes(std::initializer_list<int> offsets, double avg) {
  std::vector<SeriesPoint> points;
  for (int i : offsets) points.push_back(point(kT0 + 60.0 * i, avg));
  return points;
}

std::vector<SeriesPoint> run(int n, double avg, int from = 0) {
  std::vector<SeriesPoint> points;
  for (int i = 0; i < n; ++i) points.push_back(point(kT0 + 60.0 * (from + i), avg));
  return points;
}

Series series(MetricID metric, std::vector<SeriesPoint> points, double step = 60) {
  Series s;
  s.metric = metric;
  s.tier = step == 3600 ? StoreTier::hour : StoreTier::minute;
  s.step = step;
  s.points = std::move(points);
  return s;
}

TEST(Detectors, SustainedRunsAtTheirBoundaries) {
  struct Case {
    const char* name;
    std::vector<SeriesPoint> points;
    std::vector<std::pair<double, double>> episodes;  // start, end offsets in seconds from kT0
  };
  const Case cases[] = {
      {"ten points last exactly ten minutes", run(10, 90), {{0, 600}}},
      {"nine points are too short", run(9, 90), {}},
      {"two missing points do not split", minutes({0, 1, 2, 3, 6, 7, 8, 9}, 90), {{0, 600}}},
      {"three missing points split",
       minutes({0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}, 90),
       {{600, 1200}}},
      {"a point at the level ends the run",
       [] {
         auto p = run(21, 90);
         p[10].avg = 85;
         return p;
       }(),
       {{0, 600}, {660, 1260}}},
      {"NaN ends the run",
       [] {
         auto p = run(21, 90);
         p[10].avg = kNaN;
         return p;
       }(),
       {{0, 600}, {660, 1260}}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    const auto episodes = Detectors::sustained(c.points, 60, 85, 600);
    ASSERT_EQ(episodes.size(), c.episodes.size()) << c.name;
    for (std::size_t i = 0; i < episodes.size(); ++i) {
      EXPECT_DOUBLE_EQ(episodes[i].start - kT0, c.episodes[i].first) << c.name;
      EXPECT_DOUBLE_EQ(episodes[i].end - kT0, c.episodes[i].second) << c.name;
    }
  }
}

TEST(Detectors, SustainedEpisodeFigures) {
  const std::vector<SeriesPoint> points{point(kT0, 90, 10, 95), point(kT0 + 60, 100, 30, 120),
                                        point(kT0 + 120, 95, 0, 99)};
  const auto episodes = Detectors::sustained(points, 60, 85, 0);
  ASSERT_EQ(episodes.size(), 1u);
  EXPECT_EQ(episodes[0].samples, 40);
  EXPECT_DOUBLE_EQ(episodes[0].mean, (90.0 * 10 + 100.0 * 30) / 40);
  EXPECT_DOUBLE_EQ(episodes[0].peak, 120);
  EXPECT_DOUBLE_EQ(episodes[0].duration(), 180);
  // No samples at all: the mean divides by one, not zero.
  const std::vector<SeriesPoint> empty{point(kT0, 90, 0)};
  EXPECT_DOUBLE_EQ(Detectors::sustained(empty, 60, 85, 0)[0].mean, 0);
  EXPECT_TRUE(Detectors::sustained(points, 60, kNaN, 0).empty());
  EXPECT_TRUE(Detectors::sustained(points, kNaN, 85, 0).empty());
}

TEST(Detectors, LinearFitAndMedian) {
  EXPECT_FALSE(Detectors::linearFit(std::vector<SeriesPoint>{point(0, 1), point(1, 2)}));
  EXPECT_FALSE(Detectors::linearFit(std::vector<SeriesPoint>{point(5, 1), point(5, 2), point(5, 3)}));
  const auto fit = Detectors::linearFit(std::vector<SeriesPoint>{point(0, 1), point(1, 3), point(2, 5)});
  ASSERT_TRUE(fit);
  EXPECT_DOUBLE_EQ(fit->slope, 2);
  EXPECT_DOUBLE_EQ(fit->intercept, 1);

  EXPECT_FALSE(Detectors::median(std::vector<double>{}));
  EXPECT_EQ(Detectors::median(std::vector<double>{3, 1, 2}), 2);
  EXPECT_EQ(Detectors::median(std::vector<double>{4, 1, 3, 2}), 2.5);
  EXPECT_EQ(Detectors::median(std::vector<double>{kNaN, 4, kNaN, 1, 3, kNaN, 2, kNaN}), 2.5);
  EXPECT_FALSE(Detectors::median(std::vector<double>{kNaN, kNaN}));
  EXPECT_FALSE(Detectors::linearFit(std::vector<SeriesPoint>{point(0, 1), point(1, kNaN), point(2, 5)}));
}

TEST(Detectors, DiskExhaustionProjection) {
  const double now = kT0 + 86400;
  // A day of hourly points falling by 1e10 bytes a day to 1e11 at the last one.
  std::vector<SeriesPoint> falling;
  for (int h = 0; h <= 24; ++h) falling.push_back(point(kT0 + 3600.0 * h, 1e11 + 1e10 * (24 - h) / 24.0));
  const auto result = Detectors::exhaustion(falling, now, 21600);
  ASSERT_TRUE(result);
  EXPECT_NEAR(result->date - now, 10 * 86400, 1e-3);
  EXPECT_NEAR(result->bytesPerDay, 1e10, 1e-3);

  std::vector<SeriesPoint> shortSpan(falling.begin(), falling.begin() + 6);  // five hours
  EXPECT_FALSE(Detectors::exhaustion(shortSpan, now, 21600));
  std::vector<SeriesPoint> sixHours(falling.begin(), falling.begin() + 7);
  EXPECT_TRUE(Detectors::exhaustion(sixHours, now, 21600));  // exactly the least span
  std::vector<SeriesPoint> flat = falling;
  for (auto& p : flat) p.avg = 5e10;
  EXPECT_FALSE(Detectors::exhaustion(flat, now, 21600));
  std::vector<SeriesPoint> rising = falling;
  std::reverse(rising.begin(), rising.end());
  for (std::size_t i = 0; i < rising.size(); ++i) rising[i].time = falling[i].time;
  EXPECT_FALSE(Detectors::exhaustion(rising, now, 21600));
  std::vector<SeriesPoint> empty = falling;
  empty.back().avg = 0;  // already full: zero seconds left is not a projection
  EXPECT_FALSE(Detectors::exhaustion(empty, now, 21600));
  EXPECT_FALSE(Detectors::exhaustion({}, now, 21600));
}

TEST(Detectors, AnomaliesFloorAndCut) {
  const double mb = 1e6;
  // Median 1 MB/s, median deviation 0.2 MB/s: the cut is 2.6 MB/s, the 5 MiB/s floor wins.
  std::vector<SeriesPoint> points;
  for (int i = 0; i < 30; ++i) {
    const double avg = i < 10 ? 0.8 * mb : i < 20 ? 1.0 * mb : 1.2 * mb;
    points.push_back(point(kT0 + 60.0 * i, avg));
  }
  points[3].avg = 3 * mb;    // above the cut, below the floor
  points[4].avg = 5242880;   // at the floor: not anomalous
  points[25].avg = 5242881;  // above the floor
  const auto anomalous = Detectors::anomalies(points, 5242880, 8);
  ASSERT_EQ(anomalous.size(), 1u);
  EXPECT_EQ(anomalous[0].time, points[25].time);

  // Without a floor the cut decides: 1 + 8 × 0.2 = 2.6 MB/s.
  const auto cut = Detectors::anomalies(points, 0, 8);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0].time, points[3].time);

  std::vector<SeriesPoint> few(points.begin(), points.begin() + 29);
  EXPECT_TRUE(Detectors::anomalies(few, 0, 8).empty());
  EXPECT_TRUE(Detectors::anomalies(points, kNaN, 8).empty());
}

StoredEvent spike(const char* name, double time, std::optional<QString> peak,
                  std::optional<double> duration = std::nullopt) {
  StoredEvent e;
  e.date = dateAt(time);
  e.kind = EventKind::process;
  e.severity = Severity::info;
  e.code = QStringLiteral("process.spike");
  if (name) e.payload.insert(QStringLiteral("name"), QString::fromUtf8(name));
  if (peak) e.payload.insert(QStringLiteral("peak"), *peak);
  if (duration) e.payload.insert(QStringLiteral("duration"), EventPayload::wholeSeconds(*duration));
  return e;
}

TEST(IntelligenceEngine, FindingsOfEveryKindInAStableOrder) {
  const double now = kT0 + 86400;
  IntelligenceEngine::Inputs inputs;
  inputs.now = dateAt(now);
  // CPU: a warning stretch of 10 minutes and a critical one of 30.
  auto cpu = run(10, 90);
  for (const auto& p : run(30, 95, 100)) cpu.push_back(p);
  inputs.cpu = series(MetricID::cpuTotal, cpu);
  // Memory pressure: five minutes at the warning level, with one critical minute.
  auto pressure = run(5, 1, 200);
  pressure[2].max = 2;
  inputs.pressure = series(MetricID::memPressure, pressure);
  // Swap grows by exactly 2 GiB over three points.
  inputs.swap = series(MetricID::swapUsed,
                       {point(kT0, 1e9), point(kT0 + 60, 2e9), point(kT0 + 120, 1e9 + 2147483648.0)});
  // Disk: a day of hourly points falling by 1e10 a day to 1e11.
  std::vector<SeriesPoint> disk;
  for (int h = 0; h <= 24; ++h) disk.push_back(point(kT0 + 3600.0 * h, 1e11 + 1e10 * (24 - h) / 24.0, 3600));
  inputs.diskFree = series(MetricID::diskFree, disk, 3600);
  // Network: download and upload anomalies starting in the same minute.
  auto net = run(40, 1e6, 300);
  net[20].avg = net[20].max = 9e6;
  inputs.netDown = series(MetricID::netDown, net);
  inputs.netUp = series(MetricID::netUp, net);
  // Thermal: a single minute at serious with a critical maximum.
  inputs.thermal = series(MetricID::thermalState, {point(kT0 + 60 * 400, 2, 30, 3)});
  // Process spikes: "encoder" three times, written under a German user locale.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString peak = EventPayload::oneDecimal(93.44);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(peak, QStringLiteral("93.4"));
  inputs.spikes = {spike("encoder", kT0 + 10, peak),
                   spike("encoder", kT0 + 500, QStringLiteral("80.0")),
                   spike("encoder", kT0 + 900, QStringLiteral("93,4")),
                   spike("tool", kT0, QStringLiteral("99.0")),
                   spike("tool", kT0 + 5, QStringLiteral("99.0")),
                   spike(nullptr, kT0, QStringLiteral("1")),
                   spike(nullptr, kT0, QStringLiteral("1")),
                   spike("", kT0, QStringLiteral("1"))};
  StoredEvent other = spike("encoder", kT0 + 20, QStringLiteral("99.9"));
  other.code = QStringLiteral("process.spikes");
  inputs.spikes.push_back(other);

  const auto findings = IntelligenceEngine::analyse(inputs, IntelligenceThresholds{});
  std::vector<std::string> order;
  for (const auto& f : findings) order.push_back(f.id().toStdString());
  const auto id = [](const char* kind, double start, const char* subject, const char* metric) {
    return std::string(kind) + "|" + std::to_string(static_cast<long long>(start)) + "|" + subject + "|" +
           metric;
  };
  const std::vector<std::string> expected{
      // critical, latest end first
      id("thermalPressure", kT0 + 24000, "", "thermal.state"),
      id("memoryPressure", kT0 + 12000, "", "memory.pressure"),
      id("sustainedCPU", kT0 + 6000, "", "cpu.total"),
      // warning
      id("diskExhaustion", kT0, "", "disk.free"),
      id("sustainedCPU", kT0, "", "cpu.total"),
      id("swapGrowth", kT0, "", "memory.swap"),
      // info: equal ends keep their order (download before upload)
      id("networkAnomaly", kT0 + 19200, "", "network.down"),
      id("networkAnomaly", kT0 + 19200, "", "network.up"),
      id("processSpikes", kT0 + 10, "encoder", "cpu.total"),
  };
  ASSERT_EQ(order, expected);

  const Finding& thermal = findings[0];
  EXPECT_EQ(thermal.threshold, 2.0);
  EXPECT_EQ(thermal.peak, 3);
  EXPECT_EQ(thermal.end, dateAt(kT0 + 24060));
  EXPECT_EQ(findings[1].threshold, 1.0);
  EXPECT_EQ(findings[1].sampleCount, 150);
  EXPECT_EQ(findings[2].threshold, 85);
  EXPECT_EQ(findings[2].duration(), 1800);

  const Finding& disk0 = findings[3];
  EXPECT_EQ(disk0.severity, Severity::warning);  // ten days out
  ASSERT_TRUE(disk0.projected);
  EXPECT_NEAR(static_cast<double>(disk0.projected->toMSecsSinceEpoch()) / 1000 - now, 10 * 86400, 1);
  EXPECT_NEAR(disk0.mean, 1e10, 1);
  EXPECT_EQ(disk0.peak, 1e11);
  EXPECT_EQ(disk0.threshold, 30);
  EXPECT_EQ(disk0.sampleCount, 25 * 3600);
  EXPECT_EQ(disk0.start, dateAt(kT0)) << "no finer sample known: the first bucket's start";
  EXPECT_EQ(disk0.end, dateAt(now)) << "the last bucket ends after the analysis: clamped to it";

  const Finding& swap = findings[5];
  EXPECT_EQ(swap.mean, 2147483648.0);
  EXPECT_EQ(swap.peak, 1e9 + 2147483648.0);
  EXPECT_EQ(swap.end, dateAt(kT0 + 180));

  const Finding& down = findings[6];
  EXPECT_EQ(down.threshold, 1e6);
  EXPECT_EQ(down.peak, 9e6);
  EXPECT_EQ(down.occurrences, 1);
  EXPECT_EQ(down.sampleCount, 30);

  const Finding& spikes = findings[8];
  EXPECT_EQ(spikes.subject, QStringLiteral("encoder"));
  EXPECT_EQ(spikes.occurrences, 3);
  EXPECT_EQ(spikes.sampleCount, 3);
  EXPECT_EQ(spikes.end, dateAt(kT0 + 900));
  EXPECT_DOUBLE_EQ(spikes.peak, 93.4);  // "93,4" counts as an event but gives no peak
  EXPECT_DOUBLE_EQ(spikes.mean, (93.4 + 80.0) / 2);
  EXPECT_EQ(spikes.threshold, 3.0);
}

// Spikes of one name that overlap in time are one occasion, however many processes took part.
TEST(IntelligenceEngine, ProcessSpikesCountOccasionsNotProcesses) {
  struct Burst {
    const char* name;
    double start;
    int processes;  // started one second apart, each 90 s long
  };
  struct Case {
    const char* title;
    std::vector<Burst> bursts;
    std::vector<std::string> subjects;  // of the findings, in order
    std::int64_t occasions;             // of the first finding
    std::optional<std::int64_t> concurrent;
    std::int64_t spikes;
    double end;  // of the first finding, seconds after kT0
  };
  const Case cases[] = {
      {"8 parallel processes once", {{"burst90.sh", 0, 8}}, {}, 0, {}, 0, 0},
      {"3 bursts of 8",
       {{"cc1plus", 0, 8}, {"cc1plus", 600, 8}, {"cc1plus", 1200, 3}},
       {"cc1plus"},
       3,
       8,
       19,
       1200 + 2 + 90},
      {"3 separate spikes of one name, 2 of another",
       {{"encoder", 0, 1}, {"encoder", 3000, 1}, {"encoder", 70000, 1}, {"tool", 10, 1}, {"tool", 500, 1}},
       {"encoder"},
       3,
       {},
       3,
       70090},
      {"touching spikes are one occasion", {{"a", 0, 1}, {"a", 90, 1}, {"a", 180, 1}}, {}, 0, {}, 0, 0},
      {"a touching pair and two separate spikes: never two at once",
       {{"xz", 0, 1}, {"xz", 90, 1}, {"xz", 3000, 1}, {"xz", 6000, 1}},
       {"xz"},
       3,
       {},
       4,
       6090},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    IntelligenceEngine::Inputs inputs;
    inputs.now = dateAt(kT0 + 86400);
    for (const Burst& burst : c.bursts) {
      for (int i = 0; i < burst.processes; ++i) {
        inputs.spikes.push_back(spike(burst.name, kT0 + burst.start + i, QStringLiteral("99.0"), 90));
      }
    }
    const auto findings = IntelligenceEngine::analyse(inputs, IntelligenceThresholds{});
    std::vector<std::string> subjects;
    for (const auto& f : findings) subjects.push_back(f.subject.value_or(QString()).toStdString());
    ASSERT_EQ(subjects, c.subjects);
    if (findings.empty()) continue;
    EXPECT_EQ(findings[0].occurrences, c.occasions);
    EXPECT_EQ(findings[0].concurrent, c.concurrent);
    EXPECT_EQ(findings[0].sampleCount, c.spikes);
    EXPECT_EQ(findings[0].start, dateAt(kT0 + c.bursts.front().start));
    EXPECT_EQ(findings[0].end, dateAt(kT0 + c.end)) << "the last spike's end";
  }
}

TEST(IntelligenceEngine, DiskSpanStartsAtItsFirstSample) {
  const double now = kT0 + 86400;
  IntelligenceEngine::Inputs inputs;
  inputs.now = dateAt(now - 1620);  // 27 minutes before the last bucket ends
  std::vector<SeriesPoint> disk;
  for (int h = 0; h <= 24; ++h) disk.push_back(point(kT0 + 3600.0 * h, 1e11 + 1e10 * (24 - h) / 24.0, 3600));
  inputs.diskFree = series(MetricID::diskFree, disk, 3600);
  const struct {
    std::optional<double> firstSample;
    double start;
  } cases[] = {{kT0 + 1920, kT0 + 1920}, {std::nullopt, kT0}, {kT0 - 10, kT0}, {kT0 + 3600, kT0}};
  for (const auto& c : cases) {
    inputs.diskFirstSample = c.firstSample;
    const auto findings = IntelligenceEngine::analyse(inputs, IntelligenceThresholds{});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].start, dateAt(c.start)) << c.firstSample.value_or(-1) - kT0;
    EXPECT_EQ(findings[0].end, inputs.now);
  }
}

TEST(IntelligenceEngine, BoundariesOfTheSmallDetectors) {
  const double now = kT0 + 86400;
  IntelligenceThresholds t;
  const auto kinds = [&](const IntelligenceEngine::Inputs& inputs) {
    std::vector<FindingKind> out;
    for (const auto& f : IntelligenceEngine::analyse(inputs, t)) out.push_back(f.kind);
    return out;
  };
  IntelligenceEngine::Inputs inputs;
  inputs.now = dateAt(now);
  inputs.swap = series(MetricID::swapUsed, {point(kT0, 0), point(kT0 + 60, 1e12)});
  EXPECT_TRUE(kinds(inputs).empty());  // two points are never enough
  inputs.swap->points.push_back(point(kT0 + 120, 2147483647.0));
  EXPECT_TRUE(kinds(inputs).empty());  // one byte short

  inputs = {};
  inputs.now = dateAt(now);
  inputs.thermal = series(MetricID::thermalState, {point(kT0, 2)});
  auto found = IntelligenceEngine::analyse(inputs, t);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].severity, Severity::warning);
  inputs.thermal = series(MetricID::thermalState, {point(kT0, 1.5)});
  EXPECT_TRUE(kinds(inputs).empty());

  // Disk full in 6.9 days is critical; beyond the horizon nothing.
  inputs = {};
  inputs.now = dateAt(now);
  std::vector<SeriesPoint> disk;
  for (int h = 0; h <= 24; ++h) disk.push_back(point(kT0 + 3600.0 * h, 6.9e10 + 1e10 * (24 - h) / 24.0));
  inputs.diskFree = series(MetricID::diskFree, disk, 3600);
  found = IntelligenceEngine::analyse(inputs, t);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].severity, Severity::critical);
  t.diskHorizonDays = 6.5;
  EXPECT_TRUE(kinds(inputs).empty());

  // Network: 29 points give nothing.
  inputs = {};
  inputs.now = dateAt(now);
  auto net = run(29, 1e6);
  net[5].avg = 1e9;
  inputs.netUp = series(MetricID::netUp, net);
  EXPECT_TRUE(kinds(inputs).empty());
}

TEST(IntelligenceEngine, NonFiniteThresholdsFindNothing) {
  IntelligenceEngine::Inputs inputs;
  inputs.now = dateAt(kT0 + 86400);
  inputs.cpu = series(MetricID::cpuTotal, run(60, 99));
  inputs.pressure = series(MetricID::memPressure, run(60, 2));
  inputs.swap = series(MetricID::swapUsed, {point(kT0, 0), point(kT0 + 60, 1e10), point(kT0 + 120, 1e11)});
  auto net = run(40, 1e6);
  net[3].avg = 1e10;
  inputs.netDown = series(MetricID::netDown, net);
  IntelligenceThresholds t;
  ASSERT_EQ(IntelligenceEngine::analyse(inputs, t).size(), 4u);
  t.cpuPercent = kNaN;
  t.pressureMinutes = std::numeric_limits<double>::infinity();
  t.swapGrowthBytes = kNaN;
  t.networkFloor = kNaN;
  EXPECT_TRUE(IntelligenceEngine::analyse(inputs, t).empty());
}

}  // namespace
