#include "design/LiveChart.h"
#include "design/Sparkline.h"

#include <QImage>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr qint64 kStart = 1700000000000;  // 22:13:20 UTC

ValueFormat percent() {
  return [](double v) { return QLocale().toString(v, 'f', 0) + QStringLiteral(" %"); };
}

LiveSeries series(const char* name, std::vector<ChartPoint> points) {
  return {QString::fromLatin1(name), QString::fromLatin1(name), ChartColor::of(MetricFamily::cpu),
          std::move(points)};
}

TEST(LiveChartSummary, SpeaksLatestSmallestAndLargestOfEachSeries) {
  struct Case {
    const char* name;
    std::vector<LiveSeries> series;
    QString expected;
  };
  const std::vector<Case> cases = {
      {"one series",
       {series("CPU", {{0, 3}, {1000, 41}, {2000, 12}})},
       "CPU: 12 %. Minimum 3 %, Maximum 41 %."},
      {"two series, one empty",
       {series("User", {{0, 5}}), series("System", {}), series("Nice", {{0, 1}, {1, 2}})},
       "User: 5 %. Minimum 5 %, Maximum 5 %. Nice: 2 %. Minimum 1 %, Maximum 2 %."},
      {"no points", {series("CPU", {})}, "Collecting samples…"},
      {"non-finite points are not spoken",
       {series("CPU", {{0, kNaN}, {1000, 7}, {2000, kInf}})},
       "CPU: 7 %. Minimum 7 %, Maximum 7 %."},
      {"only non-finite points", {series("CPU", {{0, kNaN}})}, "Collecting samples…"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LiveChart::accessibilitySummary(c.series, percent()), c.expected);
  }
}

TEST(LiveChartSummary, IsTheWidgetsAccessibleDescription) {
  LiveChart chart;
  EXPECT_EQ(chart.accessibleName(), QStringLiteral("Collecting samples…"));
  chart.setOptions({std::nullopt, percent(), false, 160, std::nullopt, {}});
  chart.setSeries({series("CPU", {{0, 3}, {1000, 41}})});
  EXPECT_EQ(chart.accessibleName(), QStringLiteral("CPU: 41 %. Minimum 3 %, Maximum 41 %."));
}

TEST(LiveChartSummary, InPlaceUpdateReusesStorageAndFollowsLikeSetSeries) {
  LiveChart chart;
  chart.setOptions({std::nullopt, percent(), false, 160, std::nullopt, {}});
  chart.setSeries({series("CPU", {{0, 3}, {1000, 41}, {2000, 7}})});
  const int plain = chart.sizeHint().height();
  const ChartPoint* storage = chart.series()[0].points.data();
  chart.updateSeries([](std::vector<LiveSeries>& all) {
    all[0].points = {{1000, 41}, {2000, 7}, {3000, 12}};
  });
  EXPECT_EQ(chart.series()[0].points.data(), storage);  // refilled, not reallocated
  EXPECT_EQ(chart.accessibleName(), QStringLiteral("CPU: 12 %. Minimum 7 %, Maximum 41 %."));
  // A second series brings the legend, and the chart asks for its room.
  chart.updateSeries([](std::vector<LiveSeries>& all) { all.push_back(series("GPU", {{0, 1}, {1000, 2}})); });
  EXPECT_GT(chart.sizeHint().height(), plain);
  chart.updateSeries([](std::vector<LiveSeries>& all) { all.pop_back(); });
  EXPECT_EQ(chart.sizeHint().height(), plain);
}

TEST(LiveChartLabels, TimeInTheLocalesWayWithSeconds) {
  EXPECT_EQ(LiveChart::timeText(kStart + 5000), QStringLiteral("10:13:25 PM"));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(LiveChart::timeText(kStart + 5000), QStringLiteral("22:13:25"));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST(LiveChartLayout, LegendOnlyForTwoOrMoreSeries) {
  const QFont font = Typeface::caption();
  LiveChartOptions options;
  options.height = 160;
  EXPECT_EQ(LiveChart::totalHeight(1, options, font), 160);
  EXPECT_GT(LiveChart::totalHeight(2, options, font), 160 + 6);
  options.height = kNaN;
  EXPECT_EQ(LiveChart::totalHeight(1, options, font), 0);
}

// A paint device that records every coordinate handed to the paint engine, so a test can
// tell that nothing non-finite reached the painter.
class RecordingEngine : public QPaintEngine {
 public:
  RecordingEngine() : QPaintEngine(AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  Type type() const override { return User; }
  void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { check(r); }
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override {
    for (int i = 0; i < count; ++i) check(points[i]);
    ++shapes;
  }
  void drawPath(const QPainterPath& path) override {
    for (int i = 0; i < path.elementCount(); ++i) check(QPointF(path.elementAt(i).x, path.elementAt(i).y));
    ++shapes;
  }
  void drawLines(const QLineF* lines, int count) override {
    for (int i = 0; i < count; ++i) {
      check(lines[i].p1());
      check(lines[i].p2());
    }
  }
  void drawRects(const QRectF* rects, int count) override {
    for (int i = 0; i < count; ++i) check(rects[i]);
  }
  void drawEllipse(const QRectF& r) override { check(r); }
  void drawTextItem(const QPointF& p, const QTextItem&) override {
    check(p);
    ++texts;
  }

  int nonFinite = 0;
  int shapes = 0;
  int texts = 0;

 private:
  void check(const QPointF& p) { nonFinite += !std::isfinite(p.x()) || !std::isfinite(p.y()); }
  void check(const QRectF& r) {
    check(r.topLeft());
    check(r.bottomRight());
  }
};

class RecordingDevice : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return &engine; }
  mutable RecordingEngine engine;

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
        return 400;
      case PdmHeight:
        return 200;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 96;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
      case PdmDepth:
        return 32;
      default:
        return 1;
    }
  }
};

TEST(LiveChartMends, NothingNonFiniteReachesThePainter) {
  const double big = std::numeric_limits<double>::max();
  const std::vector<LiveSeries> hostile = {
      series("a", {{kStart, kNaN},
                   {kStart + 1000, 5},
                   {kStart + 2000, kInf},
                   {kStart + 3000, 9},
                   {kStart + 4000, -kInf}}),
      series("b", {{kStart, big}, {kStart + 1000, big}, {kStart + 3000, -big}}),
  };
  const std::vector<QColor> colors = {Qt::red, Qt::blue};
  struct Case {
    const char* name;
    LiveChartOptions options;
  };
  const std::vector<Case> cases = {
      {"lines", {std::nullopt, percent(), false, 160, std::nullopt, {}}},
      {"stacked", {std::nullopt, percent(), true, 160, std::nullopt, {}}},
      {"reversed domain", {ChartRange{100, 0}, percent(), false, 160, std::vector<double>{0, 50, 100}, {}}},
      {"non-finite domain and ticks",
       {ChartRange{kNaN, kInf}, percent(), true, 160, std::vector<double>{kNaN, 1, kInf}, {}}},
      {"non-finite height", {std::nullopt, percent(), false, kNaN, std::nullopt, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDevice device;
    {
      QPainter painter(&device);
      LiveChart::paint(painter, QRectF(0, 0, 400, 200), hostile, colors, c.options,
                       LiveChartStyle::resolve(false));
    }
    EXPECT_EQ(device.engine.nonFinite, 0);
    EXPECT_GT(device.engine.texts, 0);
  }
  RecordingDevice device;
  {
    QPainter painter(&device);
    const std::vector<double> values = {kNaN, 1, kInf, 3, -kInf, big};
    Sparkline::paint(painter, QRectF(0, 0, 100, 20), values, Qt::red, kNaN, true);
  }
  EXPECT_EQ(device.engine.nonFinite, 0);
  EXPECT_GT(device.engine.shapes, 0);
}

// Pixel probes where the pixels are the behaviour: a reversed domain draws like the ordered one.
TEST(LiveChartMends, AReversedDomainDrawsLikeTheOrderedOne) {
  auto render = [](ChartRange domain) {
    QImage image(300, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const std::vector<LiveSeries> one = {series("CPU", {{kStart, 20}, {kStart + 1000, 80}})};
    const std::vector<QColor> colors = {Qt::red};
    LiveChart::paint(painter, QRectF(0, 0, 300, 160), one, colors,
                     {domain, percent(), false, 160, std::vector<double>{0, 100}, {}},
                     LiveChartStyle::resolve(false));
    return image;
  };
  const QImage ordered = render({0, 100});
  EXPECT_EQ(render({100, 0}), ordered);
  // The line ends 80 % up the plot at its right edge: y = 142 - 0.8 * 138.
  EXPECT_EQ(ordered.pixelColor(294, 31).red(), 255);
  EXPECT_LT(ordered.pixelColor(294, 31).green(), 128);
}

}  // namespace
}  // namespace kivo
