#include "desktop/ProcessActions.h"
#include "features/processes/ProcessRows.h"
#include "features/processes/ProcessTableModel.h"
#include "features/processes/ProcessesPage.h"
#include "metrics/ValueFormatter.h"

#include "../tests/support/ModelTestSupport.h"

#include "BenchApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimeZone>

#include <unistd.h>

#include <memory>
#include <random>

using namespace kivo;

namespace {

// 1,150 processes as a busy desktop has them; `tick` moves every CPU figure and replaces ten
// processes, so each update reorders the table, removes rows and adds new ones.
ProcessSample busySample(int tick) {
  std::mt19937 random(static_cast<unsigned>(tick));
  std::uniform_real_distribution<double> cpu(0, 120);
  ProcessSample sample;
  const auto uid = static_cast<std::uint32_t>(::getuid());
  for (int i = 0; i < 1150; ++i) {
    ProcessRecord record;
    record.pid = i < 10 ? 100'000 + tick * 10 + i : 1000 + i;
    record.parentPID = 1;
    record.name = QStringLiteral("process-%1").arg(i % 97);
    record.uid = i % 3 == 0 ? uid + 1 : uid;
    record.user = i % 3 == 0 ? QStringLiteral("root") : QStringLiteral("ada");
    record.startTime = QDateTime::fromSecsSinceEpoch(1'700'000'000 + i, QTimeZone::utc());
    record.path = QStringLiteral("/usr/bin/process-%1").arg(i % 97);
    record.hasStatistics = true;
    if (i % 7 != 0) record.cpuPercent = cpu(random);
    record.cpuTime = i * 1.5;
    record.memory = static_cast<std::uint64_t>(i) * 1'048'576;
    record.threads = 1 + i % 40;
    sample.processes.push_back(std::move(record));
  }
  sample.total = static_cast<int>(sample.processes.size());
  sample.interval = 2;
  return sample;
}

// The table's share of one process sample: rows filtered and sorted, then applied in place to a
// model under a table view with a selected row.
void BM_ProcessTableUpdate(benchmark::State& state) {
  bench::ensureApplication();
  const ValueFormatter format;
  ProcessTableModel model(format);
  QTableView view;
  view.setModel(&model);
  view.resize(1000, 700);
  const std::vector<ProcessSample> samples = {busySample(1), busySample(2)};
  ProcessQuery query;
  query.scope = ProcessScope::all;
  const std::unordered_set<std::int32_t> apps;
  std::vector<ProcessRow> rows;
  std::vector<std::int32_t> order;
  ProcessRows::build(&samples[0], query, apps, rows, order);
  model.apply(rows);
  view.selectionModel()->select(model.index(500, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  std::size_t tick = 0;
  for (auto _ : state) {
    ProcessRows::build(&samples[++tick % 2], query, apps, rows, order);
    model.apply(rows);
    benchmark::DoNotOptimize(model.rowCount());
  }
}

// The whole page on one process sample through the model: rows, table, selection, header and
// inspector (the model's own ingest included).
void BM_ProcessesPageSample(benchmark::State& state) {
  bench::ensureApplication();
  test::ModelRig rig;
  ProcessActions actions;
  ProcessesPage page(*rig.model, *rig.settings, actions);
  page.resize(1200, 800);
  page.show();
  page.setScope(ProcessScope::all);
  std::vector<TelemetrySnapshot> snapshots;
  for (int i = 0; i < 2; ++i) {
    snapshots.push_back(test::snapshotAt(i + 1));
    snapshots.back().processes = busySample(i + 1);
  }
  rig.model->ingest(snapshots[0]);
  page.select(1500);
  std::size_t tick = 0;
  for (auto _ : state) {
    rig.model->ingest(snapshots[++tick % 2]);
    benchmark::DoNotOptimize(page.history().memory().size());
  }
}

}  // namespace

BENCHMARK(BM_ProcessTableUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessesPageSample)->Unit(benchmark::kMillisecond);
