#include "pdf/PdfChart.h"

#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <optional>

namespace kivo {
namespace {

using Kind = test::RecordingCanvas::Kind;

const QRectF kPlot(102, 500, 462, 96);

struct ScaleCase {
  const char* name;
  double from, to;
  std::optional<double> minimum, maximum;
  double t0, t1, lower, upper;
};

TEST(PdfChartScale, AxisAlwaysHoldsZeroAndPeriodIsAtLeastOneSecond) {
  const ScaleCase cases[] = {
      {"positive values start at zero", 1000, 4600, 10, 50, 1000, 4600, 0, 50},
      {"negative values end at zero", 1000, 4600, -30, -5, 1000, 4600, -30, 0},
      {"straddling zero keeps both", 1000, 4600, -2, 3, 1000, 4600, -2, 3},
      {"no maximum reads one", 1000, 4600, 4, std::nullopt, 1000, 4600, 0, 1},
      {"nothing at all", 1000, 4600, std::nullopt, std::nullopt, 1000, 4600, 0, 1},
      {"all zero is widened a hair", 1000, 4600, 0, 0, 1000, 4600, 0, 1e-9},
      {"empty period", 1000, 1000, 0, 1, 1000, 1001, 0, 1},
      {"reversed period", 1000, 400, 0, 1, 1000, 1001, 0, 1},
      {"period of one second", 1000, 1001, 0, 1, 1000, 1001, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PdfChart::Scale s = PdfChart::scale(kPlot, c.from, c.to, c.minimum, c.maximum);
    EXPECT_DOUBLE_EQ(s.t0, c.t0);
    EXPECT_DOUBLE_EQ(s.t1, c.t1);
    EXPECT_DOUBLE_EQ(s.lower, c.lower);
    EXPECT_DOUBLE_EQ(s.upper, c.upper);
  }
}

TEST(PdfChartScale, MapsThePeriodAndTheAxisOntoThePlot) {
  const PdfChart::Scale s = PdfChart::scale(kPlot, 1000, 2000, -10, 30);
  EXPECT_DOUBLE_EQ(s.x(1000), 102);
  EXPECT_DOUBLE_EQ(s.x(2000), 564);
  EXPECT_DOUBLE_EQ(s.x(1500), 102 + 231);
  EXPECT_DOUBLE_EQ(s.y(-10), 500);
  EXPECT_DOUBLE_EQ(s.y(30), 596);
  EXPECT_DOUBLE_EQ(s.y(0), 524);
}

std::vector<SeriesPoint> at(std::initializer_list<double> times) {
  std::vector<SeriesPoint> points;
  for (const double t : times) points.push_back(SeriesPoint{t, 1, 3, 2, 1});
  return points;
}

TEST(PdfChartSegments, SplitWhereNeighboursAreMoreThanTwoAndAHalfStepsApart) {
  struct Case {
    const char* name;
    std::vector<SeriesPoint> points;
    double step;
    std::vector<std::pair<std::size_t, std::size_t>> expected;
  };
  const Case cases[] = {
      {"no point", {}, 60, {}},
      {"exactly two and a half steps stay together", at({0, 150}), 60, {{0, 2}}},
      {"any amount more splits", at({0, 150.001}), 60, {{0, 1}, {1, 2}}},
      {"a lone point between two gaps", at({0, 60, 300, 600, 660}), 60, {{0, 2}, {2, 3}, {3, 5}}},
      {"step zero splits every point", at({0, 1, 2}), 0, {{0, 1}, {1, 2}, {2, 3}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<std::size_t, std::size_t>> got;
    for (const auto& s : PdfChart::segments(c.points, c.step)) got.emplace_back(s.first, s.last);
    EXPECT_EQ(got, c.expected);
  }
}

const PdfChart::Colours kColours{QColor(244, 245, 250), QColor(89, 96, 120, 31), QColor(8, 145, 178, 51),
                                 QColor(8, 145, 178)};

TEST(PdfChartDraw, ContentIsCutToThePlotAndALonePointIsADot) {
  test::RecordingCanvas canvas;
  canvas.beginPage();
  const PdfChart::Scale s = PdfChart::scale(kPlot, 0, 1000, 0, 10);
  // Two points, a lone one between gaps, and a run that starts before the period.
  std::vector<SeriesPoint> points{
      {-100, 1, 9, 5, 1}, {0, 1, 9, 5, 1}, {500, 2, 4, 3, 1}, {900, 0, 10, 5, 1}, {950, 0, 10, 6, 1}};
  const std::vector<SeriesGap> gaps{{100, 450}, {600, 600.5}, {-500, 0}};
  PdfChart::draw(canvas, s, points, 50, gaps, kColours);

  ASSERT_GE(canvas.ops.size(), 3u);
  EXPECT_EQ(canvas.ops.front().kind, Kind::rect);  // the background first, whole
  EXPECT_EQ(canvas.ops.front().box, kPlot);
  EXPECT_EQ(canvas.ops[1].kind, Kind::clip);
  EXPECT_EQ(canvas.ops[1].box, kPlot);
  EXPECT_EQ(canvas.ops.back().kind, Kind::unclip);
  for (std::size_t i = 2; i + 1 < canvas.ops.size(); ++i) EXPECT_TRUE(canvas.ops[i].clipped) << i;

  const auto rects = canvas.of(Kind::rect);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_DOUBLE_EQ(rects[1].box.left(), s.x(100));
  EXPECT_DOUBLE_EQ(rects[1].box.width(), s.x(450) - s.x(100));
  EXPECT_DOUBLE_EQ(rects[1].box.height(), 96);
  EXPECT_DOUBLE_EQ(rects[2].box.width(), 0.5);                 // narrower than half a point
  EXPECT_DOUBLE_EQ(rects[3].box.width(), s.x(0) - s.x(-500));  // before the period, cut by the clip

  const auto fills = canvas.of(Kind::fillPath);
  const auto strokes = canvas.of(Kind::strokePath);
  ASSERT_EQ(fills.size(), 3u);  // band, dot, band
  ASSERT_EQ(strokes.size(), 2u);
  const QRectF dot = fills[1].box;
  EXPECT_EQ(fills[1].colour, kColours.line);
  EXPECT_NEAR(dot.center().x(), s.x(500), 1e-9);
  EXPECT_NEAR(dot.center().y(), s.y(3), 1e-9);
  EXPECT_NEAR(dot.width(), 2 * PdfChart::kDotRadius, 1e-9);
  // The first band runs from the point before the period to the max and min of its second point.
  EXPECT_DOUBLE_EQ(fills[0].box.left(), s.x(-100));
  EXPECT_DOUBLE_EQ(fills[0].box.right(), s.x(0));
  EXPECT_DOUBLE_EQ(fills[0].box.top(), s.y(1));
  EXPECT_DOUBLE_EQ(fills[0].box.bottom(), s.y(9));
  EXPECT_EQ(strokes[1].elements, 2);  // the average line of the last run
  EXPECT_DOUBLE_EQ(strokes[1].font.size, 1);
}

}  // namespace
}  // namespace kivo
