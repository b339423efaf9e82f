#include "design/Appearance.h"
#include "design/CoreBars.h"
#include "design/KeyValueRow.h"
#include "design/MenuButton.h"
#include "design/PressureBadge.h"
#include "design/ThermalScale.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(CoreBars, SpeaksEachCoreAsAWholePercent) {
  struct Case {
    const char* name;
    std::vector<CPULoad> cores;
    QString expected;
  };
  const std::vector<Case> cases = {
      {"two cores", {{0.30, 0.07, 0.63}, {0.05, 0, 0.95}}, "1: 37 %, 2: 5 %"},
      {"halves round away from zero",
       {{0.004, 0, 0.996}, {0.005, 0, 0.995}, {0.125, 0, 0.875}},
       "1: 0 %, 2: 1 %, 3: 13 %"},
      {"no cores", {}, ""},
      {"a load that is not finite", {{kNaN, 0, 0}, {kInf, 0.1, 0}, {0.2, 0, 0.8}}, "1: —, 2: —, 3: 20 %"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CoreBars::accessibilityValue(c.cores), c.expected);
  }
  CoreBars bars;
  EXPECT_EQ(bars.accessibleName(), QStringLiteral("CPU cores"));
  const std::vector<CPULoad> two = {{0.30, 0.07, 0.63}, {0.05, 0, 0.95}};
  bars.setCores(two);
  EXPECT_EQ(bars.accessibleDescription(), QStringLiteral("1: 37 %, 2: 5 %"));
}

TEST(CoreBars, FillHeightFromSliverToFull) {
  struct Case {
    CPULoad core;
    double height;
  };
  const std::vector<Case> cases = {
      {{1, 0, 0}, 60},   {{0.6, 0.4, 0}, 60}, {{0, 0, 1}, 2},    {{0.25, 0.25, 0.5}, 30},
      {{1.7, 0, 0}, 60}, {{-0.5, 0, 0}, 2},   {{kNaN, 0, 0}, 2}, {{kInf, 0, 0}, 2},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(CoreBars::fillHeight(c.core, 60), c.height) << c.core.user;
  // A bar lower than the sliver shows what it has.
  EXPECT_DOUBLE_EQ(CoreBars::fillHeight({0, 0, 1}, 1), 1);
}

TEST(CoreBars, BarsShareTheWidthAndNeverGoNegative) {
  const auto frames = CoreBars::barFrames(4, QRectF(0, 0, 109, 50));
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0], QRectF(0, 0, 25, 50));
  EXPECT_EQ(frames[3], QRectF(84, 0, 25, 50));
  EXPECT_TRUE(CoreBars::barFrames(0, QRectF(0, 0, 100, 50)).empty());
  for (const QRectF& frame : CoreBars::barFrames(128, QRectF(0, 0, 200, 50))) EXPECT_GE(frame.width(), 0);
}

// How far apart two colours read: the largest difference of one channel.
int apart(QColor a, QColor b) {
  return std::max(
      {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

TEST(CoreBars, AnIdleCoresTrackShowsOnTheCardInLightAndDark) {
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    const QColor surface = Palette::surface.resolve(dark);
    QImage image(40, 60, QImage::Format_ARGB32);
    image.fill(surface);
    const std::vector<CPULoad> idle(1, CPULoad{0, 0, 1});
    {
      QPainter painter(&image);
      CoreBars::paint(painter, QRectF(0, 0, 40, 60), idle, Palette::accent.resolve(dark),
                      Palette::surfaceRaised.resolve(dark), trackEdge.resolve(dark));
    }
    // The track's edge, half way up, stands out from the card around it.
    EXPECT_GE(apart(image.pixelColor(0, 30), surface), 40);
  }
}

TEST(KeyValueRow, TheIdleSwatchShowsOnTheCardInLightAndDark) {
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    KeyValueRow row(QStringLiteral("Idle"), QStringLiteral("80 %"), std::nullopt, Palette::surfaceRaised);
    QPalette palette = Appearance::palette(dark);
    palette.setColor(QPalette::Window, Palette::surface.resolve(dark));
    row.setPalette(palette);
    row.setAutoFillBackground(true);
    row.resize(200, row.sizeHint().height());
    const QImage image = row.grab().toImage();
    // Somewhere in the swatch at the leading edge a pixel stands out from the card.
    const QColor surface = Palette::surface.resolve(dark);
    int most = 0;
    for (int x = 0; x < KeyValueRow::kSwatchSize + 2; ++x) {
      for (int y = 0; y < image.height(); ++y) most = std::max(most, apart(image.pixelColor(x, y), surface));
    }
    EXPECT_GE(most, 40);
  }
}

// A row changes its label and swatch in place: the label moves aside for a swatch and back, and
// a screen reader hears the new label.
TEST(KeyValueRow, LabelAndSwatchChangeInPlace) {
  KeyValueRow row(QStringLiteral("Remaining"), QStringLiteral("1:30"));
  row.resize(240, row.sizeHint().height());
  row.show();
  auto* label = row.findChild<QWidget*>(QStringLiteral("row.label"));
  QApplication::processEvents();
  const int bare = label->x();
  EXPECT_EQ(row.swatch(), std::nullopt);

  row.setSwatch(Palette::accent);
  QApplication::processEvents();
  EXPECT_EQ(row.swatch(), Palette::accent);
  EXPECT_GE(label->x(), bare + KeyValueRow::kSwatchSize);

  row.setLabel(QStringLiteral("Until full"));
  EXPECT_EQ(row.accessibleName(), QStringLiteral("Until full, 1:30"));
  EXPECT_EQ(qobject_cast<QLabel*>(label)->text(), QStringLiteral("Until full"));

  row.setSwatch(std::nullopt);
  QApplication::processEvents();
  EXPECT_EQ(row.swatch(), std::nullopt);
  EXPECT_EQ(label->x(), bare);
}

TEST(MenuButton, ItsChevronSitsOnTheTextLineAfterTheText) {
  MenuButton button;
  button.setText(QStringLiteral("Layout"));
  QMenu menu;
  button.setMenu(&menu);
  button.resize(button.sizeHint());
  const QRectF chevron = button.chevronRect();
  EXPECT_NEAR(chevron.center().y(), button.height() / 2.0, 0.5);
  EXPECT_GE(chevron.left(), button.fontMetrics().horizontalAdvance(button.text()));
  EXPECT_LE(chevron.right(), button.width());
}

TEST(PressureBadge, AbsentPressureIsADashNeverNormal) {
  struct Case {
    std::optional<MemoryPressureLevel> level;
    QString text;
    QString symbol;
    DynamicColor tint;
  };
  const std::vector<Case> cases = {
      {MemoryPressureLevel::normal, "Normal", "checkmark.circle.fill", Palette::success},
      {MemoryPressureLevel::warning, "Warning", "exclamationmark.triangle.fill", Palette::warning},
      {MemoryPressureLevel::critical, "Critical", "exclamationmark.triangle.fill", Palette::danger},
      {std::nullopt, "—", "", Palette::textTertiary},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(PressureBadge::text(c.level), c.text);
    EXPECT_EQ(PressureBadge::symbol(c.level), c.symbol);
    EXPECT_EQ(PressureBadge::tint(c.level), c.tint);
    EXPECT_EQ(PressureBadge::accessibleText(c.level), QStringLiteral("Memory pressure: ") + c.text);
  }
  PressureBadge badge;
  EXPECT_EQ(badge.accessibleName(), QStringLiteral("Memory pressure: —"));
  badge.setLevel(MemoryPressureLevel::warning);
  EXPECT_EQ(badge.accessibleName(), QStringLiteral("Memory pressure: Warning"));
}

TEST(ThermalScale, LightsUpToTheLevelInItsColour) {
  struct Case {
    std::optional<ThermalLevel> level;
    int lit;
    DynamicColor color;
  };
  const std::vector<Case> cases = {
      {ThermalLevel::nominal, 1, Palette::success},
      {ThermalLevel::fair, 2, Palette::textPrimary},
      {ThermalLevel::serious, 3, Palette::warning},
      {ThermalLevel::critical, 4, Palette::danger},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThermalScale::litCount(c.level), c.lit);
    for (bool dark : {false, true})
      EXPECT_EQ(ThermalScale::levelColor(*c.level, dark), c.color.resolve(dark));
  }
  // No thermal zones: nothing lit, rather than a made-up "nominal".
  EXPECT_EQ(ThermalScale::litCount(std::nullopt), 0);
}

TEST(ThermalScale, CapsulesShareTheWidthCentredAndSixHigh) {
  const auto frames = ThermalScale::capsuleFrames(QRectF(0, 0, 109, 20));
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0], QRectF(0, 7, 25, 6));
  EXPECT_EQ(frames[3], QRectF(84, 7, 25, 6));
  for (const QRectF& frame : ThermalScale::capsuleFrames(QRectF(0, 0, 4, 20))) EXPECT_EQ(frame.width(), 0);
}

}  // namespace
}  // namespace kivo
