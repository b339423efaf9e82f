#include "features/gpu/GPUPage.h"
#include "features/gpu/GPUPagePresenter.h"

#include "PageShots.h"
#include "design/Card.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace kivo {
namespace {

using test::PageRig;

const QString kDash = QStringLiteral("—");

GPUDevice radeon() {
  GPUDevice device;
  device.id = 0;
  device.name = QStringLiteral("Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]");
  device.vendorID = 0x1002;
  device.deviceID = 0x73bf;
  device.driver = QStringLiteral("amdgpu");
  device.isHeadless = false;
  return device;
}

GPUStatistics busy(double percent) {
  GPUStatistics statistics(QStringLiteral("card0"));
  statistics.deviceUtilization = percent;
  statistics.memoryInUse = 1536ull << 20;
  statistics.memoryAllocated = 16ull << 30;
  return statistics;
}

TelemetrySnapshot gpuTick(int i, std::vector<GPUStatistics> gpu) {
  std::vector<MetricValue> values;
  double top = -1;
  for (const auto& statistics : gpu) top = std::max(top, statistics.deviceUtilization.value_or(-1));
  if (top >= 0) values.push_back({MetricID::gpuUtilization, top});
  TelemetrySnapshot snapshot = test::snapshotAt(2.0 * i, values);
  snapshot.gpu = std::move(gpu);
  snapshot.interval = 2;
  return snapshot;
}

TEST(GPUPagePresenter, UtilizationStateIsJudgedOnAnyGPU) {
  GPUStatistics silent(QStringLiteral("card0"));
  silent.memoryInUse = 1;
  struct Case {
    const char* name;
    bool hasDevices;
    bool bestEffort;
    std::vector<GPUStatistics> statistics;
    GPUUtilizationState expected;
  };
  const std::vector<Case> cases = {
      {"turned off", true, false, {busy(40)}, GPUUtilizationState::bestEffortOff},
      {"no statistics", true, true, {}, GPUUtilizationState::noFigure},
      {"statistics without a figure", true, true, {silent}, GPUUtilizationState::noFigure},
      {"the second GPU has the figure", true, true, {silent, busy(40)}, GPUUtilizationState::figure},
      {"no graphics device", false, true, {}, GPUUtilizationState::noDevice},
      {"no graphics device, readings off", false, false, {}, GPUUtilizationState::noDevice},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GPUPagePresenter::utilizationState(c.hasDevices, c.bestEffort, c.statistics), c.expected);
  }
  const std::vector<GPUStatistics> both = {silent, busy(40)};
  EXPECT_EQ(GPUPagePresenter::primary(both), &both[1]);
  EXPECT_EQ(GPUPagePresenter::primary({}), nullptr);
}

TEST(GPUPagePresenter, SubtitleAndDeviceFacts) {
  GPUDevice second = radeon();
  second.name = QStringLiteral("Alder Lake-P GT2 [Iris Xe Graphics]");
  EXPECT_EQ(
      GPUPagePresenter::subtitle({radeon(), second}),
      QStringLiteral("Navi 21 [Radeon RX 6800/6800 XT / 6900 XT], Alder Lake-P GT2 [Iris Xe Graphics]"));
  EXPECT_EQ(GPUPagePresenter::subtitle({}), QString());

  GPUDevice device = radeon();
  device.maxThreadsPerThreadgroup = 1024;
  const auto rows = GPUPagePresenter::deviceRows(device);
  ASSERT_EQ(rows.size(), 8u);
  const auto value = [&](const char* label) {
    for (const auto& row : rows) {
      if (row.label == QLatin1String(label)) return row.value;
    }
    return QStringLiteral("missing");
  };
  EXPECT_EQ(value("Driver"), QStringLiteral("amdgpu"));
  EXPECT_EQ(value("PCI ID"), QStringLiteral("1002:73bf"));
  EXPECT_EQ(value("Unified memory"), kDash);  // not published: never a guessed "No"
  EXPECT_EQ(value("Headless"), QStringLiteral("No"));
  EXPECT_EQ(value("Threads per threadgroup"), QStringLiteral("1024"));
  device.vendorID.reset();
  EXPECT_EQ(GPUPagePresenter::pciID(device), kDash);
}

TEST(GPUPagePresenter, FiguresFollowTheSettingAndTheSeries) {
  PageRig rig({}, {radeon()});
  GPUPageState state = GPUPagePresenter::state(*rig.model);
  EXPECT_EQ(state.readout, kDash);
  EXPECT_EQ(state.memoryInUse, kDash);
  rig.model->ingest(gpuTick(0, {busy(37.4)}));
  state = GPUPagePresenter::state(*rig.model);
  EXPECT_EQ(state.utilization, GPUUtilizationState::figure);
  EXPECT_EQ(state.readout, rig.model->format().percent(37.4, 0));
  EXPECT_EQ(state.memoryInUse, rig.model->format().bytes(1536.0 * 1024 * 1024, true));
  EXPECT_EQ(state.cores, kDash);
  // Turned off, the engine stops reading statistics: the snapshot carries none.
  TelemetryConfiguration telemetry = rig.settings->telemetry();
  telemetry.bestEffortMetrics = false;
  rig.settings->setTelemetry(telemetry);
  rig.model->ingest(gpuTick(1, {}));
  state = GPUPagePresenter::state(*rig.model);
  EXPECT_EQ(state.utilization, GPUUtilizationState::bestEffortOff);
  EXPECT_EQ(state.memoryInUse, kDash);
  EXPECT_EQ(state.memoryAllocated, kDash);
}

TEST(GPUPage, DeviceCardsShowTheirNamesVerbatim) {
  GPUDevice odd = radeon();
  odd.id = 1;
  odd.name = QStringLiteral("GPU %1 <i>card</i>");  // a translation key and markup: shown as written
  PageRig rig({}, {radeon(), odd});
  GPUPage page(*rig.model, *rig.settings);
  auto* card = page.findChild<Card*>(QStringLiteral("gpu.device.1"));
  ASSERT_TRUE(card);
  EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("card.title"))->text(), odd.name);
  EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("card.title"))->textFormat(), Qt::PlainText);
  EXPECT_TRUE(page.findChild<Card*>(QStringLiteral("gpu.device.0")));
}

TEST(GPUPage, TheUtilizationCardSwitchesWithTheSetting) {
  PageRig rig({}, {radeon()});
  GPUPage page(*rig.model, *rig.settings);
  auto* turnedOff = page.findChild<UnavailableRow*>(QStringLiteral("gpu.turnedOff"));
  auto* noFigure = page.findChild<UnavailableRow*>(QStringLiteral("gpu.noFigure"));
  auto* figure = page.findChild<QWidget*>(QStringLiteral("gpu.figure"));
  EXPECT_FALSE(noFigure->isHidden());
  for (int i = 0; i < 5; ++i) rig.model->ingest(gpuTick(i, {busy(20 + i)}));
  EXPECT_FALSE(figure->isHidden());
  EXPECT_TRUE(noFigure->isHidden());
  auto* chart = page.findChild<LiveChart*>(QStringLiteral("gpu.historyChart"));
  EXPECT_EQ(chart->series().at(0).points.size(), 5u);
  TelemetryConfiguration telemetry = rig.settings->telemetry();
  telemetry.bestEffortMetrics = false;
  rig.settings->setTelemetry(telemetry);
  EXPECT_FALSE(turnedOff->isHidden());
  EXPECT_TRUE(figure->isHidden());
  EXPECT_TRUE(chart->series().at(0).points.empty());
}

TEST(GPUPage, WithoutAGraphicsDeviceSaysSoOnceAndDrawsNoChart) {
  PageRig rig;
  for (int i = 0; i < 3; ++i) rig.model->ingest(gpuTick(i, {}));
  GPUPage page(*rig.model, *rig.settings);
  EXPECT_FALSE(page.findChild<LiveChart*>(QStringLiteral("gpu.historyChart")));
  auto* noFigure = page.findChild<UnavailableRow*>(QStringLiteral("gpu.noFigure"));
  EXPECT_FALSE(noFigure->isHidden());
  EXPECT_EQ(noFigure->shownReason(), GPUPagePresenter::noFigureReason(false));
  EXPECT_TRUE(page.findChild<UnavailableRow*>(QStringLiteral("gpu.turnedOff"))->isHidden());
  // Every unavailable row gives its own reason, none the generic one, and none a "—" figure.
  int withoutDevice = 0;
  for (auto* row : page.findChildren<UnavailableRow*>()) {
    EXPECT_NE(row->shownReason(), UnavailableRow::defaultReason());
    if (row->shownReason().contains(QLatin1String("graphics device"))) ++withoutDevice;
  }
  EXPECT_EQ(withoutDevice, 3);  // the utilisation row and the two memory rows
  EXPECT_TRUE(page.findChild<Card*>(QStringLiteral("gpu.memory"))->findChildren<KeyValueRow*>().isEmpty());
  for (auto* label : page.findChildren<QLabel*>()) {
    EXPECT_FALSE(label->text().contains(QLatin1String("The percentage above")))
        << label->text().toStdString();
  }
}

// The smallest window leaves the page about 600 pixels: nothing may need more (a long source
// list once did), or the page scrolls sideways.
TEST(GPUPage, FitsTheSmallestWindow) {
  PageRig rig({}, {radeon()});
  for (int i = 0; i < 3; ++i) rig.model->ingest(gpuTick(i, {busy(20)}));
  GPUPage page(*rig.model, *rig.settings);
  EXPECT_LE(page.content()->minimumSizeHint().width(), 560);
}

TEST(GPUPage, Screenshots) {
  {
    PageRig rig({}, {radeon()});
    for (int i = 0; i < 150; ++i) rig.model->ingest(gpuTick(i, {busy(40 + 35 * std::sin(i / 9.0))}));
    EXPECT_EQ(test::shootPage([&](QWidget* parent) { return new GPUPage(*rig.model, *rig.settings, parent); },
                              QStringLiteral("gpu"), QStringLiteral("amdgpu"))
                  .size(),
              8);
  }
  PageRig none;
  for (int i = 0; i < 5; ++i) none.model->ingest(gpuTick(i, {}));
  EXPECT_EQ(test::shootPage([&](QWidget* parent) { return new GPUPage(*none.model, *none.settings, parent); },
                            QStringLiteral("gpu"), QStringLiteral("none"))
                .size(),
            8);
}

}  // namespace
}  // namespace kivo
