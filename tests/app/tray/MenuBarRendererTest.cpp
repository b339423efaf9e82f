#include "features/tray/MenuBarRenderer.h"

#include "TraySupport.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <numeric>

namespace kivo {
namespace {

using Segment = MenuBarRenderer::Segment;
using test::alphaAt;

Segment one(const QString& caption, const QString& line,
            std::optional<std::vector<double>> graph = std::nullopt,
            std::optional<double> ceiling = std::nullopt) {
  return Segment{caption, {line}, std::move(graph), ceiling};
}
Segment two(const QString& first, const QString& second,
            std::optional<std::vector<double>> graph = std::nullopt) {
  return Segment{QString(), {first, second}, std::move(graph), std::nullopt};
}

TEST(MenuBarRenderer, LogoAloneIs18By22AndAnAlertMakesRoomForTheWholeDot) {
  const MenuBarRenderer plain({}, false);
  EXPECT_EQ(plain.size(), QSizeF(18, 22));

  // The dot starts at 21 and is 6 wide: the image reaches 27 so none of it is cut off.
  const MenuBarRenderer alert({}, true);
  EXPECT_EQ(alert.size(), QSizeF(27, 22));
  EXPECT_DOUBLE_EQ(alert.alertDotX(), 21);
  const QImage image = alert.render(2, Qt::black);
  EXPECT_EQ(image.size(), QSize(54, 44));
  EXPECT_EQ(alphaAt(image, 24, 11), 255);    // the dot's centre
  EXPECT_GT(alphaAt(image, 26.5, 11), 100);  // its right edge, cut off before
  EXPECT_EQ(alphaAt(image, 24, 7.5), 0);     // above it
}

TEST(MenuBarRenderer, WidthsForATableOfSegmentLists) {
  const Segment cpu = one(QStringLiteral("CPU"), QStringLiteral("42%"), std::vector<double>{1, 2}, 100);
  const Segment cpuNoGraph = one(QStringLiteral("CPU"), QStringLiteral("42%"));
  const Segment memory = one(QStringLiteral("MEM"), QStringLiteral("38%"));
  const Segment network =
      two(QStringLiteral("\u2191 84K"), QStringLiteral("\u2193 1.5M"), std::vector<double>{});
  const Segment disk = two(QStringLiteral("R 2.5M"), QStringLiteral("W 12M"));
  const Segment emptyLines = Segment{QStringLiteral("BAT"), {}, std::nullopt, std::nullopt};

  // A graph adds its 26 and a gap of 3 and nothing else.
  const double withGraph = MenuBarRenderer({cpu}, false).segmentWidths()[0];
  const double withoutGraph = MenuBarRenderer({cpuNoGraph}, false).segmentWidths()[0];
  EXPECT_DOUBLE_EQ(withGraph - withoutGraph, 29);

  // Two lines are measured in the small font: narrower than one of the same text.
  const double small =
      MenuBarRenderer({two(QStringLiteral("W 12M"), QStringLiteral("W 12M"))}, false).segmentWidths()[0];
  const double large = MenuBarRenderer({one(QString(), QStringLiteral("W 12M"))}, false).segmentWidths()[0];
  EXPECT_LT(small, large);
  EXPECT_GT(small, 0);

  const std::vector<std::vector<Segment>> lists = {
      {cpu},       {memory}, {network}, {disk}, {cpu, memory, network}, {cpu, memory, network, disk, memory},
      {emptyLines}};
  for (const auto& list : lists) {
    for (bool alert : {false, true}) {
      const MenuBarRenderer renderer(list, alert);
      ASSERT_EQ(renderer.segmentWidths().size(), list.size());
      double sum = 0;
      for (double w : renderer.segmentWidths()) {
        EXPECT_EQ(w, std::ceil(w));  // whole points: widths are rounded up
        EXPECT_GT(w, 0);
        sum += w + 7;
      }
      EXPECT_DOUBLE_EQ(renderer.size().width(), 18 + sum + (alert ? 9 : 0)) << list.size();
      EXPECT_DOUBLE_EQ(renderer.size().height(), 22);
      EXPECT_DOUBLE_EQ(renderer.alertDotX(), 23 + sum - 2);
    }
  }
  // A caption wider than its value sets the width.
  const double wideCaption =
      MenuBarRenderer({one(QStringLiteral("WWWWWWWWWW"), QStringLiteral("1"))}, false).segmentWidths()[0];
  const double narrowCaption =
      MenuBarRenderer({one(QStringLiteral("W"), QStringLiteral("1"))}, false).segmentWidths()[0];
  EXPECT_GT(wideCaption, narrowCaption);
}

TEST(MenuBarRenderer, BarHeightsTable) {
  const struct {
    std::vector<double> graph;
    std::optional<double> ceiling;
    std::vector<double> heights;
  } cases[] = {
      {{}, std::nullopt, {}},
      {{0, 50, 150, 100, std::nan("")}, 100, {1, 7.5, 15, 15, 1}},
      {{0, 0, 0}, std::nullopt, {1, 1, 1}},      // a top of 0 divides nothing by zero
      {{-4, 2, 4}, std::nullopt, {1, 7.5, 15}},  // the largest value fills a bar
      {{5, 10}, 0, {15, 15}},                    // ceiling 0: every positive value is full
      {{5, 10}, -3, {15, 15}},
      {std::vector<double>(20, 50), 100, std::vector<double>(13, 7.5)},  // only the last 13
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MenuBarRenderer::barHeights(c.graph, c.ceiling), c.heights) << c.graph.size();
  }
}

TEST(MenuBarRenderer, BarsAreRightAlignedAndTheRingIsOpenAlongItsBand) {
  // Five CPU values with ceiling 100: the five rightmost of 13 slots carry a bar.
  const MenuBarRenderer renderer(
      {one(QStringLiteral("CPU"), QStringLiteral("42%"), std::vector<double>{0, 20, 40, 60, 150}, 100)},
      false);
  const QImage image = renderer.render(4, Qt::black);
  const double x = 23;
  const double bottomRow = 22 - 3.5 - 0.5;  // inside the lowest point of every bar
  for (int slot = 0; slot < 13; ++slot) {
    const int alpha = alphaAt(image, x + 2 * slot + 1.0, bottomRow);
    if (slot < 8) {
      EXPECT_LT(alpha, 80) << slot;  // background only (18 % ink)
    } else {
      EXPECT_EQ(alpha, 255) << slot;  // a bar, at least 1 high even for 0
    }
  }
  // 150 is clamped to a full 15-point bar: ink just below the top of the graph.
  EXPECT_EQ(alphaAt(image, x + 2 * 12 + 1.0, 22 - 3.5 - 14.5), 255);
  // The 0 value is a 1-point bar: nothing opaque 2 points up.
  EXPECT_LT(alphaAt(image, x + 2 * 8 + 1.0, 22 - 3.5 - 2), 80);

  // Logo: the ring (centre 9, 11, radius 6.5) shows above the band (y 9.4 to 12.6), not inside
  // it where the pulse line does not pass.
  EXPECT_GT(alphaAt(image, 3.25, 8), 100);
  EXPECT_EQ(alphaAt(image, 2.6, 9.7), 0);
}

TEST(MenuBarRenderer, PaintsTheSameOnAnyDevice) {
  // A 120 dpi device: text keeps its pixel size, so the label looks the same.
  const MenuBarRenderer renderer({one(QStringLiteral("CPU"), QStringLiteral("88%"))}, false);
  const QImage reference = renderer.render(1, Qt::black);
  QImage other(reference.size(), QImage::Format_ARGB32_Premultiplied);
  other.setDotsPerMeterX(4724);
  other.setDotsPerMeterY(4724);
  other.fill(Qt::transparent);
  {
    QPainter painter(&other);
    renderer.paint(painter, QPointF(0, 0), Qt::black);
  }
  EXPECT_EQ(other, reference);
}

TEST(MenuBarRenderer, WritesLabelsForALook) {
  const std::vector<double> ramp = {5, 12, 30, 44, 20, 65, 80, 92, 70, 50, 35, 60, 88};
  const std::vector<std::pair<QString, std::vector<Segment>>> sets = {
      {QStringLiteral("logo"), {}},
      {QStringLiteral("default"),
       {one(QStringLiteral("CPU"), QStringLiteral("42%"), ramp, 100),
        one(QStringLiteral("MEM"), QStringLiteral("38%")),
        two(QStringLiteral("\u2191 84K"), QStringLiteral("\u2193 1.5M"),
            std::vector<double>{1, 3, 2, 8, 5, 9, 4})}},
      {QStringLiteral("five"),
       {one(QStringLiteral("CPU"), QStringLiteral("100%"), ramp, 100),
        one(QStringLiteral("MEM"), QStringLiteral("38%")),
        two(QStringLiteral("\u2191 84K"), QStringLiteral("\u2193 12M"), std::vector<double>(13, 0)),
        two(QStringLiteral("R 2.5M"), QStringLiteral("W 12M")),
        one(QStringLiteral("CHG"), QStringLiteral("76%"))}},
      {QStringLiteral("missing"),
       {one(QStringLiteral("CPU"), QStringLiteral("\u2013"), std::vector<double>{}, 100),
        one(QStringLiteral("MEM"), QStringLiteral("\u2013")),
        two(QStringLiteral("\u2191 \u2013"), QStringLiteral("\u2193 \u2013"), std::vector<double>{}),
        two(QStringLiteral("R \u2013"), QStringLiteral("W \u2013"))}},
  };
  for (const auto& [name, segments] : sets) {
    for (bool alert : {false, true}) {
      const MenuBarRenderer renderer(segments, alert);
      for (bool dark : {false, true}) {
        QImage label = renderer.render(4, dark ? Qt::white : Qt::black);
        label.setDevicePixelRatio(1);
        QImage framed(label.size() + QSize(16, 16), QImage::Format_ARGB32_Premultiplied);
        framed.fill(dark ? QColor(27, 30, 43) : QColor(233, 235, 242));
        QPainter(&framed).drawImage(QPoint(8, 8), label);
        const QString file =
            test::trayOutput(QStringLiteral("label-%1%2-%3.png")
                                 .arg(name, alert ? QStringLiteral("-alert") : QString(),
                                      dark ? QStringLiteral("dark") : QStringLiteral("light")));
        EXPECT_TRUE(framed.save(file)) << file.toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace kivo
