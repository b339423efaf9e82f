// The history store at its steady state under the default retention: 6 hours of raw
// samples, 14 days of minute and 2 years of hour summaries of all 27 metrics sampled
// every 2 s. The database is built once per run in the order the store writes it
// (tick by tick, every metric), then each benchmark works on its own copy.

#include "metrics/Metric.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace kivo;

namespace {

constexpr double kInterval = 2;
constexpr int kMetrics = kMetricCount;

struct SteadyState {
  QTemporaryDir dir;
  QString master;
  double now = 0;  // the wall-clock second the database was built for
};

double valueFor(int metric, double t) {
  return 50 + 40 * std::sin(t / 600 + metric) + metric * 0.137;
}

// Inserts rows tick by tick in one transaction, the way flushes lay them out.
void fill(sqlite3* db, const char* sql, double from, double to, double step, bool summary) {
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &insert, nullptr);
  const auto metrics = Metric::allCases();
  for (double t = from; t < to; t += step) {
    for (int i = 0; i < kMetrics; ++i) {
      const double v = valueFor(i, t);
      sqlite3_bind_int64(insert, 1, Metric::rawValue(metrics[static_cast<std::size_t>(i)]));
      if (summary) {
        sqlite3_bind_int64(insert, 2, static_cast<sqlite3_int64>(t));
        sqlite3_bind_double(insert, 3, v - 3.25);
        sqlite3_bind_double(insert, 4, v + 4.5);
        sqlite3_bind_double(insert, 5, v);
        sqlite3_bind_int64(insert, 6, static_cast<sqlite3_int64>(step / kInterval));
      } else {
        sqlite3_bind_int64(insert, 2, static_cast<sqlite3_int64>(std::llround(t * 1000)));
        sqlite3_bind_double(insert, 3, v);
      }
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  }
  sqlite3_finalize(insert);
}

const SteadyState& steadyState() {
  static std::unique_ptr<SteadyState> state = [] {
    auto s = std::make_unique<SteadyState>();
    s->master = s->dir.path() + "/telemetry.sqlite";
    s->now = std::floor(StoreTime::seconds(QDateTime::currentDateTimeUtc()));
    { TimeSeriesStore schema(s->master); }
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(s->master).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const RetentionPolicy retention;
    const double hourStart = std::floor(s->now / 3600) * 3600;
    const double minuteStart = std::floor(s->now / 60) * 60;
    fill(db, "INSERT INTO hour VALUES(?,?,?,?,?,?)", hourStart - retention.hour, hourStart, 3600, true);
    fill(db, "INSERT INTO minute VALUES(?,?,?,?,?,?)", minuteStart - retention.minute, minuteStart, 60, true);
    fill(db, "INSERT INTO raw VALUES(?,?,?)", s->now - retention.raw, s->now, kInterval, false);
    // A few events a day over the two years.
    sqlite3_stmt* event = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO events(ts, kind, severity, metric, code, payload) VALUES(?, 'system', 0, NULL, "
        "'system.gap', '{\"seconds\":\"42\"}')",
        -1, &event, nullptr);
    for (double t = s->now - retention.hour; t < s->now; t += 21600) {
      sqlite3_bind_double(event, 1, t);
      sqlite3_step(event);
      sqlite3_reset(event);
    }
    sqlite3_finalize(event);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    // For bench/shell-startup.sh, which starts the monitor on this file.
    if (const QString keep = qEnvironmentVariable("KIVO_KEEP_STEADY_STATE"); !keep.isEmpty()) {
      QFile::remove(keep);
      QFile::copy(s->master, keep);
    }
    return s;
  }();
  return *state;
}

// A private copy of the steady-state file, opened as a store.
struct StoreCopy {
  QTemporaryDir dir;
  QString path = dir.path() + "/telemetry.sqlite";
  std::unique_ptr<TimeSeriesStore> store;

  StoreCopy() {
    QFile::copy(steadyState().master, path);
    store = std::make_unique<TimeSeriesStore>(path);
  }

  double fileMB() const {
    return static_cast<double>(QFileInfo(path).size() + QFileInfo(path + "-wal").size()) / 1e6;
  }
};

std::vector<MetricValue> tickValues(double t) {
  std::vector<MetricValue> values;
  values.reserve(kMetrics);
  int i = 0;
  for (MetricID metric : Metric::allCases()) values.push_back({metric, valueFor(i++, t)});
  return values;
}

QDateTime date(double seconds) {
  return StoreTime::date(seconds);
}

void BM_StoreOpenSteadyState(benchmark::State& state) {
  const SteadyState& steady = steadyState();
  for (auto _ : state) {
    TimeSeriesStore store(steady.master);
    benchmark::DoNotOptimize(&store);
  }
  state.counters["fileMB"] = static_cast<double>(QFileInfo(steady.master).size()) / 1e6;
}
BENCHMARK(BM_StoreOpenSteadyState)->Unit(benchmark::kMillisecond);

// One flush interval of the engine: 15 ticks of 27 metrics, then the flush.
void BM_StoreAppendFlush30s(benchmark::State& state) {
  StoreCopy copy;
  double t = steadyState().now;
  copy.store->flush(date(t));  // the first flush of a run prunes
  double lastPrune = t;
  std::vector<std::vector<MetricValue>> ticks;
  for (int i = 0; i < 15; ++i) ticks.push_back(tickValues(t + i * kInterval));
  for (auto _ : state) {
    for (const auto& values : ticks) {
      copy.store->append(values, date(t));
      t += kInterval;
    }
    benchmark::DoNotOptimize(copy.store->flush(date(t)));
    if (t - lastPrune > 3000) {  // keep the hourly prune out of this figure
      state.PauseTiming();
      copy.store->prune(date(t));
      lastPrune = t;
      state.ResumeTiming();
    }
  }
  state.counters["fileMB"] = copy.fileMB();
}
BENCHMARK(BM_StoreAppendFlush30s)->Unit(benchmark::kMicrosecond);

// The flush alone, the appends of its 30 s kept out of the timing.
void BM_StoreFlush30s(benchmark::State& state) {
  StoreCopy copy;
  double t = steadyState().now;
  copy.store->flush(date(t));
  double lastPrune = t;
  std::vector<std::vector<MetricValue>> ticks;
  for (int i = 0; i < 15; ++i) ticks.push_back(tickValues(t + i * kInterval));
  for (auto _ : state) {
    state.PauseTiming();
    for (const auto& values : ticks) {
      copy.store->append(values, date(t));
      t += kInterval;
    }
    if (t - lastPrune > 3000) {
      copy.store->prune(date(t));
      lastPrune = t;
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(copy.store->flush(date(t)));
  }
}
BENCHMARK(BM_StoreFlush30s)->Unit(benchmark::kMicrosecond);

void seriesBenchmark(benchmark::State& state, double span, StoreTier expected) {
  StoreCopy copy;
  const double now = steadyState().now;
  copy.store->flush(date(now));
  Series series;
  for (auto _ : state) {
    series =
        copy.store->series(MetricID::cpuTotal, date(now - span), date(now), 360, std::nullopt, date(now));
    benchmark::DoNotOptimize(series.points.data());
  }
  if (series.tier != expected) state.SkipWithError("unexpected tier");
  state.counters["points"] = static_cast<double>(series.points.size());
  state.counters["samples"] = static_cast<double>(series.sampleCount());
}

void BM_StoreSeriesRaw1h(benchmark::State& state) {
  seriesBenchmark(state, 3600, StoreTier::raw);
}
BENCHMARK(BM_StoreSeriesRaw1h)->Unit(benchmark::kMicrosecond);

void BM_StoreSeriesMinute7d(benchmark::State& state) {
  seriesBenchmark(state, 7 * 86400, StoreTier::minute);
}
BENCHMARK(BM_StoreSeriesMinute7d)->Unit(benchmark::kMicrosecond);

void BM_StoreSeriesHour1y(benchmark::State& state) {
  seriesBenchmark(state, 365 * 86400, StoreTier::hour);
}
BENCHMARK(BM_StoreSeriesHour1y)->Unit(benchmark::kMicrosecond);

void BM_StoreStatistics(benchmark::State& state) {
  StoreCopy copy;
  copy.store->flush(QDateTime::currentDateTimeUtc());
  StoreStatistics statistics;
  for (auto _ : state) {
    statistics = copy.store->statistics();
    benchmark::DoNotOptimize(statistics.rawRows);
  }
  state.counters["rawRows"] = static_cast<double>(statistics.rawRows);
  state.counters["minuteRows"] = static_cast<double>(statistics.minuteRows);
  state.counters["hourRows"] = static_cast<double>(statistics.hourRows);
  state.counters["fileMB"] = static_cast<double>(statistics.fileBytes) / 1e6;
}
BENCHMARK(BM_StoreStatistics)->Unit(benchmark::kMillisecond);

// The hourly prune at steady state: an hour of new ticks is written, then the oldest
// hour of raw samples, of minute summaries and one hour summary of each metric go.
void BM_StorePruneHourly(benchmark::State& state) {
  StoreCopy copy;
  double t = steadyState().now;
  copy.store->flush(date(t));
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 1800; ++i) {
      copy.store->append(tickValues(t), date(t));
      t += kInterval;
      if (i % 15 == 14) copy.store->flush(date(t));
    }
    copy.store->flush(date(t));
    state.ResumeTiming();
    benchmark::DoNotOptimize(copy.store->prune(date(t)));
  }
  state.counters["fileMB"] = copy.fileMB();
}
BENCHMARK(BM_StorePruneHourly)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace
