#include "features/memory/MemoryPage.h"
#include "features/memory/MemoryPagePresenter.h"

#include "PageShots.h"
#include "design/LiveChart.h"
#include "design/MemoryBar.h"
#include "design/Meter.h"
#include "design/PressureBadge.h"
#include "design/ProcessContribution.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kivo {
namespace {

using test::PageRig;

const QString kDash = QStringLiteral("—");
const ValueFormatter kFormat(QLocale(QLocale::English, QLocale::UnitedStates));
constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kMiB = 1ull << 20;

MemorySample swapping(bool psi) {
  MemorySample memory;
  memory.physical = 16 * kGiB;
  memory.app = 7 * kGiB;
  memory.wired = kGiB + 300 * kMiB;
  memory.compressed = 900 * kMiB;
  memory.used = memory.app + memory.wired + *memory.compressed;
  memory.cached = 4 * kGiB;
  memory.free = memory.physical - memory.used - memory.cached;
  memory.swapTotal = 2 * kGiB;
  memory.swapUsed = 512 * kMiB;
  memory.pageSize = 4096;
  if (psi) memory.pressure = MemoryPressureLevel::warning;
  memory.pageInRate = 12.6;
  memory.pageOutRate = 0;
  memory.swapInRate = 3.2;
  return memory;
}

TelemetrySnapshot memoryTick(int i, MemorySample memory) {
  const double wave = std::sin(i / 8.0);
  memory.app = static_cast<std::uint64_t>(static_cast<double>(memory.app) * (1 + 0.1 * wave));
  std::vector<MetricValue> values = {{MetricID::memApp, static_cast<double>(memory.app)},
                                     {MetricID::memWired, static_cast<double>(memory.wired)}};
  if (memory.compressed) values.push_back({MetricID::memCompressed, static_cast<double>(*memory.compressed)});
  if (memory.pressure) values.push_back({MetricID::memPressure, i > 100 ? 2.0 : (i > 50 ? 1.0 : 0.0)});
  TelemetrySnapshot snapshot = test::snapshotAt(2.0 * i, values);
  snapshot.memory = memory;
  snapshot.interval = 2;
  return snapshot;
}

SystemInfo sixteenGiB() {
  SystemInfo system;
  system.physicalMemory = 16 * kGiB;
  return system;
}

TEST(MemoryPagePresenter, WithoutASampleEveryFigureIsADash) {
  const MemoryPageState state = MemoryPagePresenter::state(nullptr, kFormat);
  EXPECT_FALSE(state.hasSample);
  for (const QString& text :
       {state.used, state.app, state.wired, state.compressed, state.cached, state.free, state.swapUsed,
        state.swapTotal, state.pageIns, state.pageOuts, state.swapIns, state.swapOuts, state.pageSize}) {
    EXPECT_EQ(text, kDash);
  }
  EXPECT_FALSE(state.swapFraction);
  EXPECT_FALSE(state.pressure);
  EXPECT_FALSE(state.pressureUnavailable);
}

TEST(MemoryPagePresenter, FiguresOfASwappingMachine) {
  const MemorySample sample = swapping(true);
  const MemoryPageState s = MemoryPagePresenter::state(&sample, kFormat);
  EXPECT_DOUBLE_EQ(*s.swapFraction, 0.25);
  EXPECT_EQ(s.pageIns, kFormat.number(13, 0) + QStringLiteral("/s"));
  EXPECT_EQ(s.pageOuts, QStringLiteral("0/s"));
  EXPECT_EQ(s.swapOuts, kDash);  // no baseline for it yet
  EXPECT_EQ(s.compressed, kFormat.bytes(900.0 * kMiB, true));
  EXPECT_EQ(s.pressure, MemoryPressureLevel::warning);
  EXPECT_FALSE(s.pressureUnavailable);
}

TEST(MemoryPagePresenter, WhatLinuxMayNotHave) {
  MemorySample sample = swapping(false);
  sample.compressed.reset();  // neither zswap nor zram
  sample.swapTotal = 0;
  sample.swapUsed = 0;
  const MemoryPageState state = MemoryPagePresenter::state(&sample, kFormat);
  EXPECT_EQ(state.compressed, kDash);
  EXPECT_FALSE(state.swapFraction);  // no meter
  EXPECT_EQ(state.swapTotal, kFormat.bytes(0.0, true));
  EXPECT_FALSE(state.pressure);  // never "Normal"
  EXPECT_TRUE(state.pressureUnavailable);
}

TEST(MemoryPagePresenter, PressureWordsAndChartRange) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{{0, "Normal"},
                                         {0.49, "Normal"},
                                         {0.5, "Warning"},
                                         {1, "Warning"},
                                         {1.49, "Warning"},
                                         {1.5, "Critical"},
                                         {2, "Critical"}}) {
    EXPECT_EQ(MemoryPagePresenter::pressureText(c.value), QLatin1String(c.text)) << c.value;
  }
  EXPECT_EQ(MemoryPagePresenter::chartDomain(16 * kGiB), (ChartRange{0, 16.0 * kGiB}));
  EXPECT_FALSE(MemoryPagePresenter::chartDomain(0));  // follows the data
  EXPECT_EQ(MemoryPagePresenter::subtitle(16 * kGiB, kFormat),
            kFormat.bytes(16.0 * kGiB, true) + " installed");
  EXPECT_FALSE(MemoryPagePresenter::subtitle(0, kFormat));
}

TEST(MemoryPage, BeforeTheFirstSnapshotBadgeBarAndMeterAreLeftOut) {
  PageRig rig(sixteenGiB());
  MemoryPage page(*rig.model, *rig.settings);
  EXPECT_TRUE(page.findChild<PressureBadge*>()->isHidden());
  EXPECT_TRUE(page.findChild<MemoryBar*>()->isHidden());
  EXPECT_TRUE(page.findChild<Meter*>(QStringLiteral("memory.swapMeter"))->isHidden());
  EXPECT_FALSE(page.findChild<LiveChart*>(QStringLiteral("memory.pressureChart"))->isHidden());
  EXPECT_EQ(page.findChild<LiveChart*>(QStringLiteral("memory.inUseChart"))->options().domain,
            (ChartRange{0, 16.0 * kGiB}));
}

TEST(MemoryPage, WithoutPressureInformationTheChartGivesWayToAnUnavailableRow) {
  PageRig rig(sixteenGiB());
  MemoryPage page(*rig.model, *rig.settings);
  rig.model->ingest(memoryTick(0, swapping(false)));
  EXPECT_TRUE(page.findChild<PressureBadge*>()->isHidden());
  EXPECT_TRUE(page.findChild<LiveChart*>(QStringLiteral("memory.pressureChart"))->isHidden());
  EXPECT_FALSE(page.findChild<UnavailableRow*>(QStringLiteral("memory.pressureUnavailable"))->isHidden());
  rig.model->ingest(memoryTick(1, swapping(true)));
  EXPECT_FALSE(page.findChild<PressureBadge*>()->isHidden());
  EXPECT_EQ(page.findChild<PressureBadge*>()->level(), MemoryPressureLevel::warning);
  EXPECT_FALSE(page.findChild<Meter*>(QStringLiteral("memory.swapMeter"))->isHidden());
  EXPECT_DOUBLE_EQ(*page.findChild<Meter*>(QStringLiteral("memory.swapMeter"))->fraction(), 0.25);
}

TEST(MemoryPage, FitsTheSmallestWindow) {
  PageRig rig(sixteenGiB());
  MemoryPage page(*rig.model, *rig.settings);
  rig.model->ingest(memoryTick(0, swapping(false)));
  EXPECT_LE(page.content()->minimumSizeHint().width(), 560);
}

TEST(MemoryPage, Screenshots) {
  for (const bool psi : {true, false}) {
    PageRig rig(sixteenGiB());
    for (int i = 0; i < 150; ++i) {
      TelemetrySnapshot snapshot = memoryTick(i, swapping(psi));
      if (i == 149) {
        ProcessSample processes;
        const char* names[] = {"firefox-esr", "Isolated Web Co", "code",     "gnome-shell",
                               "Xorg",        "kivo-monitor",    "pipewire", "bash"};
        for (int p = 0; p < 8; ++p) {
          ProcessRecord record;
          record.pid = 1000 + p;
          record.name = QString::fromLatin1(names[p]);
          record.hasStatistics = true;
          record.memory = (static_cast<std::uint64_t>(2000 / (p + 1))) * kMiB;
          processes.processes.push_back(record);
        }
        snapshot.processes = processes;
      }
      rig.model->ingest(snapshot);
    }
    EXPECT_EQ(
        test::shootPage([&](QWidget* parent) { return new MemoryPage(*rig.model, *rig.settings, parent); },
                        QStringLiteral("memory"), psi ? QStringLiteral("swapping") : QStringLiteral("no-psi"))
            .size(),
        8);
  }
}

}  // namespace
}  // namespace kivo
