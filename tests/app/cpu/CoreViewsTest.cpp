#include "features/cpu/CoreGrid.h"
#include "features/cpu/CoreHeatmap.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <limits>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(CoreGrid, CellTextsAndBars) {
  struct Case {
    double busy;
    QString text;
    double bar;
    double opacity;
  };
  const std::vector<Case> cases = {
      {0, "0 %", 2, 0.35},  {0.125, "13 %", 5.5, 0.35 + 0.65 * 0.125},
      {1, "100 %", 44, 1},  {1.3, "130 %", 44, 1},  // over 1 is clamped when drawn only
      {kNaN, "—", 2, 0.35}, {-0.2, "-20 %", 2, 0.35},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.busy);
    EXPECT_EQ(CoreGrid::percentText(c.busy), c.text);
    EXPECT_DOUBLE_EQ(CoreGrid::barHeight(c.busy), c.bar);
    EXPECT_DOUBLE_EQ(CoreGrid::barOpacity(c.busy), c.opacity);
  }
}

TEST(CoreGrid, ColumnsOfAtLeast58) {
  EXPECT_EQ(CoreGrid::columns(0), 1);
  EXPECT_EQ(CoreGrid::columns(123), 1);
  EXPECT_EQ(CoreGrid::columns(124), 2);  // 58 + 8 + 58
  EXPECT_EQ(CoreGrid::columns(519), 7);
  EXPECT_EQ(CoreGrid::columns(520), 8);  // 8 × 58 + 7 × 8
}

TEST(CoreGrid, RowsAreFilledEvenlyForTheCoreCount) {
  struct Case {
    int cores;
    int width;
    int perRow;
  } cases[] = {
      {8, 519, 4},   // 7 fit: two rows of 4, not 7 and 1
      {8, 520, 8},   // 8 fit: one row
      {8, 2000, 8},  // a wide card: one row of 8 sharing the width
      {4, 519, 4},  {12, 519, 6}, {16, 519, 6} /* 6, 6, 4 */, {1, 100, 1}, {3, 123, 1}, {0, 500, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CoreGrid::perRow(c.cores, c.width), c.perRow) << c.cores << " at " << c.width;
  // Spare height grows the cells up to a bar twice as tall, never shrinks them.
  const int cell = CoreGrid::cellHeight();
  EXPECT_EQ(CoreGrid::filledCellHeight(0, 1), cell);
  EXPECT_EQ(CoreGrid::filledCellHeight(cell + 20, 1), cell + 20);
  EXPECT_EQ(CoreGrid::filledCellHeight(cell * 5, 1), cell + static_cast<int>(CoreGrid::kBarHeight));
  EXPECT_EQ(CoreGrid::filledCellHeight(2 * cell + CoreGrid::kSpacing, 2), cell);
  // The grid is as tall as its rows: 8 cores where 7 fit make two.
  CoreGrid grid;
  const std::vector<CPULoad> eight(8, CPULoad{0.2, 0.1, 0.7});
  grid.setCores(eight);
  EXPECT_EQ(grid.heightForWidth(519), 2 * CoreGrid::cellHeight() + CoreGrid::kSpacing);
  EXPECT_EQ(grid.heightForWidth(600), CoreGrid::cellHeight());
  grid.setAttribute(Qt::WA_DontShowOnScreen);
  grid.show();
  grid.resize(519, grid.heightForWidth(519));
  QApplication::processEvents();
  EXPECT_EQ(grid.findChild<QWidget*>(QStringLiteral("cpu.core.5"))->y(),
            CoreGrid::cellHeight() + CoreGrid::kSpacing);
}

TEST(CoreGrid, EachCellIsSpokenAsItsCoreAndPercent) {
  CoreGrid grid;
  grid.resize(300, 200);
  const std::vector<CPULoad> cores = {{0.1, 0.025, 0.875}, {0.5, 0.5, 0}, {kNaN, 0, 0}};
  grid.setCores(cores);
  ASSERT_EQ(grid.cellCount(), 3);
  auto* first = grid.findChild<QWidget*>(QStringLiteral("cpu.core.1"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->accessibleName(), QStringLiteral("Core 1"));
  EXPECT_EQ(first->accessibleDescription(), QStringLiteral("13 %"));
  EXPECT_EQ(grid.findChild<QWidget*>(QStringLiteral("cpu.core.2"))->accessibleDescription(),
            QStringLiteral("100 %"));
  EXPECT_EQ(grid.findChild<QWidget*>(QStringLiteral("cpu.core.3"))->accessibleDescription(),
            QStringLiteral("—"));
  // Cells stay while the count stays; a new count adds or removes only the difference.
  grid.setCores(std::vector<CPULoad>{{0.2, 0, 0.8}, {0, 0, 1}, {0, 0, 1}});
  EXPECT_EQ(grid.findChild<QWidget*>(QStringLiteral("cpu.core.1")), first);
  EXPECT_EQ(first->accessibleDescription(), QStringLiteral("20 %"));
  grid.setCores(std::vector<CPULoad>{{0.2, 0, 0.8}});
  EXPECT_EQ(grid.cellCount(), 1);
  // Four cells of at least 58 in a 130-wide grid: two per row, two rows.
  grid.setCores(std::vector<CPULoad>(4));
  EXPECT_EQ(grid.heightForWidth(130), 2 * CoreGrid::cellHeight() + CoreGrid::kSpacing);
}

TEST(CoreHeatmap, ColumnsFillFromTheRight) {
  // Ten rows in a 300-wide map take x 280 to 300; the newest is the rightmost.
  EXPECT_DOUBLE_EQ(CoreHeatmap::columnX(10, 0, 300), 280);
  EXPECT_DOUBLE_EQ(CoreHeatmap::columnX(10, 9, 300), 298);
  EXPECT_DOUBLE_EQ(CoreHeatmap::columnX(150, 0, 300), 0);
}

TEST(CoreHeatmap, Opacity) {
  EXPECT_DOUBLE_EQ(CoreHeatmap::opacity(0), 0.06);
  EXPECT_DOUBLE_EQ(CoreHeatmap::opacity(-1), 0.06);
  EXPECT_DOUBLE_EQ(CoreHeatmap::opacity(kNaN), 0.06);
  EXPECT_DOUBLE_EQ(CoreHeatmap::opacity(0.5), 0.06 + 0.47);
  EXPECT_DOUBLE_EQ(CoreHeatmap::opacity(1.3), 1.0);
}

TEST(CoreHeatmap, SummaryNamesTheFirstBusiestCore) {
  EXPECT_EQ(CoreHeatmap::summary({}), QStringLiteral("Collecting samples…"));
  EXPECT_EQ(CoreHeatmap::summary({{}}), QStringLiteral("Collecting samples…"));
  EXPECT_EQ(CoreHeatmap::summary({{0.9, 0.9, 0.9}, {0.2, 0.625, 0.625, 0.1}}),
            QStringLiteral("Busiest core right now: 2 at 63 %"));
  EXPECT_EQ(CoreHeatmap::summary({{kNaN, 0.3}}), QStringLiteral("Busiest core right now: 2 at 30 %"));
  CoreHeatmap map;
  const QList<QList<double>> history = {{0.1, 0.4}};
  map.setHistory(&history);
  EXPECT_EQ(map.accessibleName(), QStringLiteral("Core activity"));
  EXPECT_EQ(map.accessibleDescription(), QStringLiteral("Busiest core right now: 2 at 40 %"));
}

// The drawing is the behaviour here: bands per core, newest on the right, rows of another core
// count left blank.
TEST(CoreHeatmap, DrawsBandsAndLeavesMismatchedRowsBlank) {
  QList<QList<double>> history;
  for (int i = 0; i < 10; ++i) history.append({1.0, 1.0, 1.0, 1.0});
  history[4] = {1.0, 1.0, 1.0};  // a row from when one core was offline
  QImage image(300, 100, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    CoreHeatmap::paint(painter, QRectF(0, 0, 300, 100), history, Qt::black, Qt::white);
  }
  EXPECT_EQ(image.pixelColor(299, 12), QColor(Qt::black));  // newest column, core 1
  EXPECT_EQ(image.pixelColor(281, 87), QColor(Qt::black));  // oldest column, core 4
  EXPECT_EQ(image.pixelColor(270, 12), QColor(Qt::white));  // left of the history: empty
  EXPECT_EQ(image.pixelColor(289, 12), QColor(Qt::white));  // the mismatched row (x 288 to 290)
  EXPECT_EQ(image.pixelColor(299, 24),
            QColor(Qt::white));  // the 1-pixel gap under band 1 (25 apart, 24 tall)
}

}  // namespace
}  // namespace kivo
