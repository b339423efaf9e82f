#include "design/AdaptiveRowLayout.h"

#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kivo {
namespace {

constexpr double kGrows = AdaptiveRowLayout::kUnbounded;

struct WidthsCase {
  const char* name;
  std::vector<double> ideals;
  double total;
  double spacing;
  std::vector<double> expected;
};

TEST(AdaptiveRowLayoutWidths, SharesTheRowAsTheWorkedExamplesSay) {
  const std::vector<WidthsCase> cases = {
      {"two cards that grow", {kGrows, kGrows}, 1000, 16, {492, 492}},
      {"a fixed child and a card", {120, kGrows}, 1000, 16, {120, 864}},
      {"two fixed children widened equally", {100, 700}, 1000, 16, {296, 688}},
      {"one fixed child fills the row", {100}, 500, 16, {500}},
      {"a fixed child wider than its share", {900, kGrows}, 1000, 16, {492, 492}},
      {"no children", {}, 1000, 16, {}},
      {"no spacing", {kGrows, kGrows, kGrows, kGrows}, 400, 0, {100, 100, 100, 100}},
  };
  for (const WidthsCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<double> got = AdaptiveRowLayout::widths(c.ideals, c.total, c.spacing);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_DOUBLE_EQ(got[i], c.expected[i]) << "child " << i;
  }
}

TEST(AdaptiveRowLayoutWidths, ManyChildrenInANarrowRowGetZeroNotANegativeWidth) {
  // 40 children with 16-point gaps need 624 points of gaps alone in a 300-point row.
  for (double ideal : {120.0, kGrows}) {
    const std::vector<double> ideals(40, ideal);
    for (double width : AdaptiveRowLayout::widths(ideals, 300, 16)) {
      EXPECT_GE(width, 0.0);
      EXPECT_TRUE(std::isfinite(width));
    }
  }
  const std::vector<double> mixed = {50, kGrows, 50};
  for (double width : AdaptiveRowLayout::widths(mixed, 10, 16)) EXPECT_EQ(width, 0.0);
}

AdaptiveRowLayout::Child child(double ideal, double height) {
  return {ideal, [height](double) { return height; }};
}

TEST(AdaptiveRowLayoutFrames, RowFromTheBreakpointStackBelowIt) {
  const std::vector<AdaptiveRowLayout::Child> cards = {child(kGrows, 100), child(kGrows, 180)};

  const auto row = AdaptiveRowLayout::frames(cards, 720, 16, 720);
  ASSERT_EQ(row.size(), 2u);
  EXPECT_EQ(row[0], QRectF(0, 0, 352, 180));  // as tall as the tallest
  EXPECT_EQ(row[1], QRectF(368, 0, 352, 180));

  const auto stack = AdaptiveRowLayout::frames(cards, 719, 16, 720);
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack[0], QRectF(0, 0, 719, 100));
  EXPECT_EQ(stack[1], QRectF(0, 116, 719, 180));

  EXPECT_TRUE(AdaptiveRowLayout::frames({}, 1000, 16, 720).empty());
}

TEST(AdaptiveRowLayoutFrames, AsksEachChildItsHeightAtItsOwnWidth) {
  std::vector<double> asked;
  const std::vector<AdaptiveRowLayout::Child> children = {
      {120,
       [&](double w) {
         asked.push_back(w);
         return 40.0;
       }},
      {kGrows,
       [&](double w) {
         asked.push_back(w);
         return 10000 / w;
       }},
  };
  const auto frames = AdaptiveRowLayout::frames(children, 1000, 16, 720);
  EXPECT_EQ(asked, (std::vector<double>{120, 864}));
  EXPECT_DOUBLE_EQ(frames[1].height(), 40.0);
}

// The Qt layout: widgets placed by the frames, height for width, and the default width.
TEST(AdaptiveRowLayoutWidget, PlacesGrowingAndFixedWidgets) {
  QWidget row;
  auto* layout = new AdaptiveRowLayout(16, 720, false, &row);
  auto* fixed = new QWidget;
  fixed->setFixedSize(120, 40);
  auto* card = new QWidget;
  card->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  card->setMinimumHeight(90);
  layout->addWidget(fixed);
  layout->addWidget(card);

  EXPECT_EQ(layout->heightForWidth(1000), 90);
  EXPECT_EQ(layout->sizeHint().width(), 900);
  layout->setGeometry(QRect(0, 0, 1000, 90));
  EXPECT_EQ(fixed->geometry(), QRect(0, 0, 120, 40));  // a fixed height stays fixed
  EXPECT_EQ(card->geometry(), QRect(136, 0, 864, 90));

  EXPECT_EQ(layout->heightForWidth(600), 40 + 16 + 90);
  layout->setGeometry(QRect(0, 0, 600, 146));
  EXPECT_EQ(card->geometry(), QRect(0, 56, 600, 90));

  // A hidden child takes no room.
  fixed->hide();
  layout->invalidate();
  layout->setGeometry(QRect(0, 0, 1000, 90));
  EXPECT_EQ(card->geometry(), QRect(0, 0, 1000, 90));
}

}  // namespace
}  // namespace kivo
