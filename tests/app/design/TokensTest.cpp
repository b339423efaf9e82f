#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/MetricFamily.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QJsonValue>
#include <QWidget>

namespace kivo {
namespace {

TEST(DynamicColor, ResolvesEachSchemeInSrgbWithFullAlpha) {
  const DynamicColor color{0x0B6E8A, 0x22D3EE};
  EXPECT_EQ(color.resolve(false), QColor(0x0B, 0x6E, 0x8A));
  EXPECT_EQ(color.resolve(true), QColor(0x22, 0xD3, 0xEE));
  EXPECT_EQ(color.resolve(true).alpha(), 255);
  // Only the low 24 bits are the colour.
  EXPECT_EQ((DynamicColor{0xFF0E1222, 0}).resolve(false), QColor(0x0E, 0x12, 0x22));
}

TEST(DynamicColor, FollowsThePaletteItIsPaintedWith) {
  QWidget widget;
  widget.setPalette(Appearance::palette(true));
  EXPECT_EQ(Palette::canvas.resolve(&widget), QColor(0x0A, 0x0D, 0x18));
  widget.setPalette(Appearance::palette(false));
  EXPECT_EQ(Palette::canvas.resolve(&widget), QColor(0xF4, 0xF5, 0xFA));
  EXPECT_EQ(Palette::canvas.resolve(static_cast<const QWidget*>(nullptr)), QColor(0xF4, 0xF5, 0xFA));
  // A palette that is neither light nor dark (window and text alike) draws the light variant.
  QPalette flat;
  flat.setColor(QPalette::Window, Qt::gray);
  flat.setColor(QPalette::WindowText, Qt::gray);
  EXPECT_EQ(Palette::accent.resolve(flat), QColor(0x0B, 0x6E, 0x8A));
}

TEST(Appearance, TokenPalettesAreReadAsTheirScheme) {
  EXPECT_TRUE(Appearance::isDark(Appearance::palette(true)));
  EXPECT_FALSE(Appearance::isDark(Appearance::palette(false)));
  EXPECT_EQ(Appearance::palette(true).color(QPalette::Base), Palette::surface.resolve(true));
  EXPECT_EQ(Appearance::palette(false).color(QPalette::Highlight), Palette::accent.resolve(false));
}

TEST(Appearance, MatchSystemFollowsThePortalElseTheStartingPalette) {
  using Appearance::ColorScheme;
  struct Case {
    AppearanceChoice choice;
    std::optional<ColorScheme> portal;
    bool startedDark;
    bool dark;
  };
  const Case cases[] = {
      {AppearanceChoice::light, ColorScheme::preferDark, true, false},
      {AppearanceChoice::dark, ColorScheme::preferLight, false, true},
      {AppearanceChoice::system, ColorScheme::preferDark, false, true},
      {AppearanceChoice::system, ColorScheme::preferLight, true, false},
      {AppearanceChoice::system, ColorScheme::noPreference, true, true},
      {AppearanceChoice::system, ColorScheme::noPreference, false, false},
      {AppearanceChoice::system, std::nullopt, true, true},
      {AppearanceChoice::system, std::nullopt, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Appearance::resolveDark(c.choice, c.portal, c.startedDark), c.dark)
        << AppearanceChoices::rawValue(c.choice).toStdString() << " started dark " << c.startedDark;
  }
  EXPECT_EQ(Appearance::colorSchemeFromPortal(1), ColorScheme::preferDark);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(2), ColorScheme::preferLight);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(0), ColorScheme::noPreference);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(3), std::nullopt);
}

TEST(MetricFamily, ColoursInBothPalettesAndSchemes) {
  struct Case {
    MetricFamily family;
    QRgb standardLight, standardDark, safeLight, safeDark;
    const char* symbol;
  };
  const Case cases[] = {
      {MetricFamily::cpu, 0x2563EB, 0x60A5FA, 0x0072B2, 0x56B4E9, "cpu"},
      {MetricFamily::gpu, 0x7C3AED, 0xA78BFA, 0xAA4499, 0xCC79A7, "square.stack.3d.up"},
      {MetricFamily::memory, 0x059669, 0x34D399, 0x007A5A, 0x009E73, "memorychip"},
      {MetricFamily::disk, 0xC2620A, 0xFBBF24, 0xB07800, 0xE69F00, "internaldrive"},
      {MetricFamily::network, 0x0891B2, 0x22D3EE, 0x2A7FB8, 0x88CCEE, "network"},
      {MetricFamily::power, 0x4D7C0F, 0xA3E635, 0x8A7A00, 0xF0E442, "bolt.fill"},
      {MetricFamily::thermal, 0xDB2777, 0xF472B6, 0xD55E00, 0xFF8A3D, "thermometer.medium"},
      {MetricFamily::system, 0x596078, 0xA3AAC2, 0x596078, 0xA3AAC2, "desktopcomputer"},
  };
  ASSERT_EQ(std::size(cases), MetricFamilies::all().size());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(MetricFamilies::rawValue(c.family).toStdString());
    EXPECT_EQ(MetricFamilies::all()[i], c.family);
    const auto rgb = [](const DynamicColor& color, bool dark) {
      return color.resolve(dark).rgb() & 0xFFFFFF;
    };
    EXPECT_EQ(rgb(MetricFamilies::color(c.family, false), false), c.standardLight);
    EXPECT_EQ(rgb(MetricFamilies::color(c.family, false), true), c.standardDark);
    EXPECT_EQ(rgb(MetricFamilies::color(c.family, true), false), c.safeLight);
    EXPECT_EQ(rgb(MetricFamilies::color(c.family, true), true), c.safeDark);
    EXPECT_EQ(MetricFamilies::standard(c.family), MetricFamilies::color(c.family, false));
    EXPECT_EQ(MetricFamilies::colorBlindSafe(c.family), MetricFamilies::color(c.family, true));
    EXPECT_EQ(MetricFamilies::symbol(c.family), QString::fromLatin1(c.symbol));
  }
  // The shared values the palette and the families must keep equal.
  EXPECT_EQ(MetricFamilies::standard(MetricFamily::system), Palette::textSecondary);
  EXPECT_EQ(MetricFamilies::standard(MetricFamily::memory).dark, Palette::success.dark);
  EXPECT_EQ(MetricFamilies::standard(MetricFamily::disk).dark, Palette::warning.dark);
  EXPECT_EQ(MetricFamilies::standard(MetricFamily::network).dark, Palette::accent.dark);
}

TEST(MetricFamily, RawValuesAreExactCaseNames) {
  for (const MetricFamily family : MetricFamilies::all()) {
    EXPECT_EQ(MetricFamilies::fromRawValue(MetricFamilies::rawValue(family)), family);
  }
  EXPECT_EQ(MetricFamilies::fromRawValue(QStringLiteral("cpu")), MetricFamily::cpu);
  EXPECT_EQ(MetricFamilies::fromRawValue(QStringLiteral("CPU")), std::nullopt);
  EXPECT_EQ(MetricFamilies::fromRawValue(QStringLiteral(" cpu")), std::nullopt);
  EXPECT_EQ(MetricFamilies::fromRawValue(QString()), std::nullopt);
  EXPECT_EQ(MetricFamilies::fromJson(QJsonValue(QStringLiteral("thermal"))), MetricFamily::thermal);
  EXPECT_EQ(MetricFamilies::toJson(MetricFamily::power), QJsonValue(QStringLiteral("power")));
  EXPECT_EQ(MetricFamilies::fromJson(QJsonValue(6)), std::nullopt);
}

TEST(MetricFamily, EveryMetricHasItsFamily) {
  EXPECT_EQ(MetricFamilies::of(MetricID::loadAverage1), MetricFamily::cpu);
  EXPECT_EQ(MetricFamilies::of(MetricID::gpuUtilization), MetricFamily::gpu);
  EXPECT_EQ(MetricFamilies::of(MetricID::pageOuts), MetricFamily::memory);
  EXPECT_EQ(MetricFamilies::of(MetricID::diskFree), MetricFamily::disk);
  EXPECT_EQ(MetricFamilies::of(MetricID::netUp), MetricFamily::network);
  EXPECT_EQ(MetricFamilies::of(MetricID::batteryPower), MetricFamily::power);
  EXPECT_EQ(MetricFamilies::of(MetricID::batteryTemperature), MetricFamily::thermal);
  EXPECT_EQ(MetricFamilies::of(MetricID::selfMemory), MetricFamily::system);
  int counts[8] = {};
  for (const MetricID id : Metric::allCases()) ++counts[static_cast<int>(MetricFamilies::of(id))];
  const int expected[8] = {4, 1, 10, 3, 2, 2, 2, 3};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(counts[i], expected[i]) << i;
}

TEST(Environment, DefaultsWithoutARoot) {
  QWidget lone;
  EXPECT_DOUBLE_EQ(Environment::density(&lone), 1.0);
  EXPECT_FALSE(Environment::colorBlindSafe(&lone));
  EXPECT_DOUBLE_EQ(Environment::density(nullptr), 1.0);
  EXPECT_FALSE(Environment::colorBlindSafe(nullptr));
}

TEST(Environment, ChildrenReadTheirRootsValuesAndHearTheChange) {
  struct Listener : QWidget {
    using QWidget::QWidget;
    int heard = 0;
    bool event(QEvent* e) override {
      if (e->type() == Environment::changedEventType()) ++heard;
      return QWidget::event(e);
    }
  };
  QWidget root;
  auto* middle = new QWidget(&root);
  auto* leaf = new Listener(middle);
  Environment::apply(&root, Environment::densityValue(DensityChoice::compact), true);
  EXPECT_DOUBLE_EQ(Environment::density(leaf), 0.72);
  EXPECT_TRUE(Environment::colorBlindSafe(leaf));
  EXPECT_EQ(leaf->heard, 1);
  // A nearer root wins; a bad density is never stored.
  Environment::apply(middle, std::nan(""), false);
  EXPECT_DOUBLE_EQ(Environment::density(leaf), 1.0);
  EXPECT_FALSE(Environment::colorBlindSafe(leaf));
  EXPECT_DOUBLE_EQ(Environment::density(&root), 0.72);
  EXPECT_DOUBLE_EQ(Environment::densityValue(DensityChoice::regular), 1.0);
  EXPECT_DOUBLE_EQ(Environment::densityValue(DensityChoice::comfortable), 1.25);
}

TEST(Typeface, PixelSizesWeightsAndModifiers) {
  EXPECT_EQ(Typeface::label().pixelSize(), 11);
  EXPECT_EQ(Typeface::label().weight(), QFont::DemiBold);
  EXPECT_EQ(Typeface::label().capitalization(), QFont::SmallCaps);
  EXPECT_EQ(Typeface::value().pixelSize(), 13);
  EXPECT_EQ(Typeface::value().weight(), QFont::Medium);
  EXPECT_EQ(Typeface::caption().pixelSize(), 11);
  EXPECT_EQ(Typeface::mono().pixelSize(), 12);
  // Monospaced in what it draws: every printable ASCII character takes the same advance. (Qt's
  // fixedPitch() says false for monospaced fonts that also carry double-width glyphs.)
  const QFontMetricsF mono(Typeface::mono());
  for (char c = ' '; c <= '~'; ++c)
    EXPECT_DOUBLE_EQ(mono.horizontalAdvance(QChar(c)), mono.horizontalAdvance('0')) << c;
  // The same object on every call: built once.
  EXPECT_EQ(&Typeface::value(), &Typeface::value());
}

}  // namespace
}  // namespace kivo
