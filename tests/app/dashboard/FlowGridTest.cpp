#include "features/dashboard/FlowGrid.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <cmath>
#include <limits>
#include <vector>

namespace kivo {
namespace {

using Metrics = FlowGrid::Metrics;

struct ColumnCase {
  double width;
  int columns;
  double columnWidth;
};

TEST(FlowGridPlace, ColumnsFollowTheWidth) {
  const ColumnCase cases[] = {
      {515, 1, 515},       {516, 2, 250},  {781, 2, 382.5}, {782, 3, 250},
      {1000, 3, 322.6667}, {1200, 4, 288}, {5000, 4, 1238},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    const std::vector<int> spans{1, 1, 1, 1};  // a full first row: no card widens to fill it
    const auto placement = FlowGrid::place(spans, c.width, Metrics{});
    EXPECT_EQ(placement.columns, c.columns);
    EXPECT_NEAR(placement.frames[0].width(), c.columnWidth, 0.001);
  }
  // A medium widget on three columns of 322.67 spans two of them and the spacing between.
  const std::vector<int> medium{2, 1};
  EXPECT_NEAR(FlowGrid::place(medium, 1000, Metrics{}).frames[0].width(), 661.333, 0.001);
}

TEST(FlowGridPlace, RowsWrapAndTheLastCardOfARowTakesWhatTheRowLeaves) {
  // On three columns of 322.67 (width 1000): each frame as its first column, row and columns taken.
  struct Frame {
    int column;
    int row;
    int columns;
  };
  struct Case {
    const char* name;
    std::vector<int> spans;
    std::vector<Frame> frames;
  } cases[] = {
      {"medium, medium: the first takes row 1 whole, the second starts row 2",
       {2, 2, 1},
       {{0, 0, 3}, {0, 1, 2}, {2, 1, 1}}},
      {"small, medium, small: the last alone takes row 2", {1, 2, 1}, {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}}},
      {"small, small: the second takes the rest of the row", {1, 1}, {{0, 0, 1}, {1, 0, 2}}},
      {"a full row stays as it is", {1, 1, 1}, {{0, 0, 1}, {1, 0, 1}, {2, 0, 1}}},
      {"medium, small, medium: never moved back into an earlier row",
       {2, 1, 2},
       {{0, 0, 2}, {2, 0, 1}, {0, 1, 3}}},
  };
  const double column = (1000 - 2 * 16) / 3.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto placement = FlowGrid::place(c.spans, 1000, Metrics{});
    ASSERT_EQ(placement.frames.size(), c.frames.size());
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      const Frame& f = c.frames[i];
      EXPECT_NEAR(placement.frames[i].x(), f.column * (column + 16), 0.001) << i;
      EXPECT_EQ(placement.frames[i].y(), f.row * 192) << i;
      EXPECT_NEAR(placement.frames[i].width(), f.columns * column + (f.columns - 1) * 16, 0.001) << i;
    }
  }
  EXPECT_EQ(FlowGrid::place(std::vector<int>{2, 2, 1}, 1000, Metrics{}).height, 368);  // 176 + 16 + 176

  std::vector<int> spans;
  FlowGrid::Placement placement;
  // A large widget is exactly as wide as the grid and the next one starts a new row.
  spans = {4, 1};
  placement = FlowGrid::place(spans, 1000, Metrics{});
  EXPECT_NEAR(placement.frames[0].width(), 1000, 0.001);
  EXPECT_EQ(placement.frames[1].y(), 192);

  // On one column every child spans that column.
  spans = {4, 2, 1};
  placement = FlowGrid::place(spans, 400, Metrics{});
  for (const QRectF& frame : placement.frames) EXPECT_EQ(frame.width(), 400);
  EXPECT_EQ(placement.height, 3 * 176 + 2 * 16);
}

TEST(FlowGridPlace, DensityScalesRowsWithAFloorAndSpacingWithout) {
  const Metrics compact = Metrics::forDensity(0.72);
  EXPECT_NEAR(compact.rowHeight, 149.6, 1e-9);
  EXPECT_NEAR(compact.spacing, 11.52, 1e-9);
  const Metrics comfortable = Metrics::forDensity(1.25);
  EXPECT_EQ(comfortable.rowHeight, 220);
  EXPECT_EQ(comfortable.spacing, 20);
}

TEST(FlowGridPlace, BadInputsNeverGiveNegativeOrUndefinedGeometry) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<int> spans{0, -3, 2, 1};
  for (double width : {0.0, -50.0, nan, inf, -inf}) {
    SCOPED_TRACE(width);
    const auto placement = FlowGrid::place(spans, width, Metrics{});
    EXPECT_EQ(placement.columns, 1);
    for (const QRectF& frame : placement.frames) {
      EXPECT_TRUE(std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.width()));
      EXPECT_GE(frame.width(), 0);
      EXPECT_GE(frame.x(), 0);
    }
  }
  // Zero and negative spans count as one column.
  const auto placement = FlowGrid::place(spans, 1200, Metrics{});
  EXPECT_EQ(placement.frames[0].width(), 288);
  EXPECT_EQ(placement.frames[1].x(), 304);
  // Parameters that leave no room to divide by: one column, still finite.
  const auto degenerate = FlowGrid::place(spans, 800, Metrics{0, nan, 0});
  EXPECT_EQ(degenerate.columns, 1);
  EXPECT_EQ(degenerate.height, 0);
  // No children: nothing placed, no height.
  EXPECT_EQ(FlowGrid::place({}, 900, Metrics{}).height, 0);
}

TEST(FlowGridLayout, GivesEachChildItsCellAndHeightForWidth) {
  QWidget host;
  auto* grid = new FlowGrid(&host);
  auto* a = new QWidget;
  auto* b = new QWidget;
  auto* c = new QWidget;
  grid->addWidget(a, 2);
  grid->addWidget(b, 2);
  grid->addWidget(c, 1);
  EXPECT_TRUE(grid->hasHeightForWidth());
  EXPECT_EQ(grid->heightForWidth(1000), 368);
  EXPECT_EQ(grid->sizeHint(), QSize(900, 368));
  grid->setGeometry(QRect(0, 0, 1000, 368));
  EXPECT_EQ(a->geometry(), QRect(0, 0, 1000, 176));  // b does not fit beside it: a takes the row
  EXPECT_EQ(b->geometry().topLeft(), QPoint(0, 192));
  EXPECT_EQ(c->geometry().x(), 677);

  grid->setOrder({c, a});
  EXPECT_EQ(grid->widgets(), (QList<QWidget*>{c, a, b}));
  grid->setSpan(c, 4);
  EXPECT_EQ(grid->heightForWidth(1000), 3 * 176 + 2 * 16);
  // The grid never gives a child a negative size, even with no width at all.
  grid->setGeometry(QRect(0, 0, 0, 0));
  for (QWidget* widget : {a, b, c}) EXPECT_GE(widget->width(), 0);
}

}  // namespace
}  // namespace kivo
