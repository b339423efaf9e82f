#include "features/cpu/CPUPage.h"

#include "CPUFeed.h"
#include "PageShots.h"
#include "design/Environment.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/MetricFamily.h"
#include "features/cpu/CPUPagePresenter.h"
#include "features/cpu/CoreGrid.h"
#include "features/cpu/CoreHeatmap.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace kivo {
namespace {

using test::PageRig;

void feed(MonitorModel& model, int ticks, int cores) {
  for (int i = 0; i < ticks; ++i) {
    model.ingest(
        test::cpuTick(i, cores, i == ticks - 1 ? std::optional(test::busyProcesses()) : std::nullopt));
  }
}

TEST(CPUPage, BeforeTheFirstSnapshotTheCoresCardIsCollecting) {
  PageRig rig(test::plainSystem());
  CPUPage page(*rig.model, *rig.settings);
  EXPECT_FALSE(page.findChild<QLabel*>(QStringLiteral("cpu.coresEmpty"))->isHidden());
  EXPECT_TRUE(page.findChild<CoreGrid*>()->isHidden());
  EXPECT_FALSE(page.findChild<QLabel*>(QStringLiteral("cpu.levels")));
  EXPECT_EQ(page.findChild<CoreHeatmap*>()->accessibleDescription(), QStringLiteral("Collecting samples…"));
}

TEST(CPUPage, UpdatesInPlaceFromTheModel) {
  PageRig rig(test::hybridSystem());
  CPUPage page(*rig.model, *rig.settings);
  auto* grid = page.findChild<CoreGrid*>();
  auto* levels = page.findChild<QLabel*>(QStringLiteral("cpu.levels"));
  ASSERT_TRUE(levels);
  EXPECT_EQ(levels->text(), QStringLiteral("8 Performance cores · 8 Efficiency cores"));
  feed(*rig.model, 30, 16);
  EXPECT_EQ(page.findChild<CoreGrid*>(), grid);
  EXPECT_FALSE(grid->isHidden());
  EXPECT_EQ(grid->cellCount(), 16);
  EXPECT_TRUE(page.findChild<QLabel*>(QStringLiteral("cpu.coresEmpty"))->isHidden());
  EXPECT_EQ(page.findChild<LiveChart*>(QStringLiteral("cpu.usageChart"))->series().at(0).points.size(), 30u);
  EXPECT_TRUE(
      page.findChild<CoreHeatmap*>()->accessibleDescription().startsWith(QStringLiteral("Busiest core")));
  // The newest core load reaches the cell.
  const double busy = rig.model->snapshot()->cpu->cores[3].busy();
  EXPECT_EQ(page.findChild<QWidget*>(QStringLiteral("cpu.core.4"))->accessibleDescription(),
            CoreGrid::percentText(busy));
}

// Legend swatches follow the colour-blind-safe choice of the window, keeping their figures.
TEST(CPUPage, SwatchesFollowTheColourBlindSafeChoice) {
  PageRig rig(test::plainSystem());
  QWidget host;
  host.setAttribute(Qt::WA_DontShowOnScreen);
  host.setPalette(Appearance::palette(false));
  auto* layout = new QVBoxLayout(&host);
  auto* page = new CPUPage(*rig.model, *rig.settings, &host);
  layout->addWidget(page);
  host.resize(1280, 860);
  host.show();
  rig.model->ingest(test::cpuTick(0, 4));
  QApplication::processEvents();
  const auto swatch = [&] {
    auto* row = page->findChild<KeyValueRow*>(QStringLiteral("cpu.user"));
    const QImage image = row->grab().toImage();
    return image.pixelColor(4, image.height() / 2);
  };
  // The CPU family's colour of each palette, in the light appearance.
  const QColor usual = MetricFamilies::color(MetricFamily::cpu, false).resolve(false);
  const QColor safe = MetricFamilies::color(MetricFamily::cpu, true).resolve(false);
  ASSERT_NE(usual, safe);
  EXPECT_EQ(swatch(), usual);
  auto* const before = page->findChild<KeyValueRow*>(QStringLiteral("cpu.user"));
  const QString value = before->shownValue();
  Environment::apply(&host, 1.0, true);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  ASSERT_EQ(page->findChildren<KeyValueRow*>(QStringLiteral("cpu.user")).size(), 1);
  // The row is changed in place, not rebuilt.
  EXPECT_EQ(page->findChild<KeyValueRow*>(QStringLiteral("cpu.user")), before);
  EXPECT_EQ(swatch(), safe);
  EXPECT_EQ(page->findChild<KeyValueRow*>(QStringLiteral("cpu.user"))->shownValue(), value);
  rig.model->ingest(test::cpuTick(1, 4));
  EXPECT_EQ(page->findChild<KeyValueRow*>(QStringLiteral("cpu.user"))->shownValue(),
            CPUPagePresenter::percent(rig.model->snapshot()->cpu->total.user, rig.model->format()));
}

TEST(CPUPage, FitsTheSmallestWindow) {
  PageRig rig(test::hybridSystem());
  CPUPage page(*rig.model, *rig.settings);
  feed(*rig.model, 3, 64);
  EXPECT_LE(page.content()->minimumSizeHint().width(), 560);
}

TEST(CPUPage, Screenshots) {
  for (const bool hybrid : {true, false}) {
    PageRig rig(hybrid ? test::hybridSystem() : test::plainSystem());
    feed(*rig.model, 150, hybrid ? 16 : 8);
    const QStringList written =
        test::shootPage([&](QWidget* parent) { return new CPUPage(*rig.model, *rig.settings, parent); },
                        QStringLiteral("cpu"), hybrid ? QStringLiteral("hybrid") : QStringLiteral("plain"));
    EXPECT_EQ(written.size(), 8);
  }
  PageRig empty(test::plainSystem());
  EXPECT_EQ(
      test::shootPage([&](QWidget* parent) { return new CPUPage(*empty.model, *empty.settings, parent); },
                      QStringLiteral("cpu"), QStringLiteral("empty"))
          .size(),
      8);
}

}  // namespace
}  // namespace kivo
