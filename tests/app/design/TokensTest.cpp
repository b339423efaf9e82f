#include "Contrast.h"
#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QJsonValue>
#include <QLabel>
#include <QWidget>

#include <array>
#include <cmath>
#include <utility>

namespace kivo {
namespace {

// The fills text and graphics are drawn on.
const std::pair<const char*, DynamicColor> kBackgrounds[] = {
    {"window", Palette::canvas},
    {"card", Palette::surface},
    {"raised fill", Palette::surfaceRaised},
};

// CIE76 distance of two sRGB colours in CIE L*a*b* (D65).
double labDistance(const QColor& a, const QColor& b) {
  const auto lab = [](const QColor& colour) {
    const auto linear = [](double c) {
      return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double r = linear(colour.redF());
    const double g = linear(colour.greenF());
    const double bl = linear(colour.blueF());
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    const double x = f((0.4124 * r + 0.3576 * g + 0.1805 * bl) / 0.95047);
    const double y = f(0.2126 * r + 0.7152 * g + 0.0722 * bl);
    const double z = f((0.0193 * r + 0.1192 * g + 0.9505 * bl) / 1.08883);
    return std::array<double, 3>{116 * y - 16, 500 * (x - y), 200 * (y - z)};
  };
  const auto p = lab(a);
  const auto q = lab(b);
  return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

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
  EXPECT_EQ(Palette::canvas.resolve(&widget), Palette::canvas.resolve(true));
  widget.setPalette(Appearance::palette(false));
  EXPECT_EQ(Palette::canvas.resolve(&widget), Palette::canvas.resolve(false));
  EXPECT_EQ(Palette::canvas.resolve(static_cast<const QWidget*>(nullptr)), Palette::canvas.resolve(false));
  // A palette that is neither light nor dark (window and text alike) draws the light variant.
  QPalette flat;
  flat.setColor(QPalette::Window, Qt::gray);
  flat.setColor(QPalette::WindowText, Qt::gray);
  EXPECT_EQ(Palette::accent.resolve(flat), Palette::accent.resolve(false));
}

TEST(Appearance, TokenPalettesAreReadAsTheirScheme) {
  EXPECT_TRUE(Appearance::isDark(Appearance::palette(true)));
  EXPECT_FALSE(Appearance::isDark(Appearance::palette(false)));
  EXPECT_EQ(Appearance::palette(true).color(QPalette::Base), Palette::surface.resolve(true));
  EXPECT_EQ(Appearance::palette(false).color(QPalette::Highlight), Palette::accent.resolve(false));
}

// Every text colour is readable (4.5:1, for text of body size) on every fill it is drawn on, in
// both appearances: the window, a card and a raised fill.
TEST(Palette, TextIsReadableOnEveryBackgroundInBothAppearances) {
  const std::pair<const char*, DynamicColor> texts[] = {
      {"primary", Palette::textPrimary},   {"secondary", Palette::textSecondary},
      {"tertiary", Palette::textTertiary}, {"accent", Palette::accent},
      {"success", Palette::success},       {"warning", Palette::warning},
      {"danger", Palette::danger},
  };
  for (const bool dark : {false, true}) {
    for (const auto& [text, colour] : texts) {
      for (const auto& [name, background] : kBackgrounds) {
        EXPECT_GE(test::contrast(colour.resolve(dark), background.resolve(dark)), 4.5)
            << text << " on " << name << (dark ? " dark" : " light");
      }
    }
    // A visited link, on the window or a card.
    for (const DynamicColor background : {Palette::canvas, Palette::surface})
      EXPECT_GE(test::contrast(Palette::accentSecondary.resolve(dark), background.resolve(dark)), 4.5);
  }
}

// Light and dark are two appearances, not one: every colour changes, the fills are light or dark
// as named, and text is darker than its fill in light and lighter in dark.
TEST(Palette, LightAndDarkDifferInEveryColour) {
  const DynamicColor all[] = {Palette::canvas,
                              Palette::surface,
                              Palette::surfaceRaised,
                              Palette::hairline,
                              Palette::textPrimary,
                              Palette::textSecondary,
                              Palette::textTertiary,
                              Palette::success,
                              Palette::warning,
                              Palette::danger,
                              Palette::accent,
                              Palette::accentSecondary,
                              trackEdge};
  for (const DynamicColor& colour : all) {
    EXPECT_NE(colour.resolve(false), colour.resolve(true)) << colour.resolve(false).name().toStdString();
  }
  for (const auto& [name, background] : kBackgrounds) {
    EXPECT_GT(test::luminance(background.resolve(false)), 0.8) << name;
    EXPECT_LT(test::luminance(background.resolve(true)), 0.05) << name;
    for (const bool dark : {false, true}) {
      EXPECT_EQ(
          test::luminance(Palette::textPrimary.resolve(dark)) > test::luminance(background.resolve(dark)),
          dark)
          << name;
    }
  }
  // Borders and separators show on the window and on a card.
  for (const bool dark : {false, true}) {
    for (const DynamicColor background : {Palette::canvas, Palette::surface})
      EXPECT_GE(test::contrast(Palette::hairline.resolve(dark), background.resolve(dark)), 1.2) << dark;
  }
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
        << AppearanceChoices::rawString(c.choice).toStdString() << " started dark " << c.startedDark;
  }
  EXPECT_EQ(Appearance::colorSchemeFromPortal(1), ColorScheme::preferDark);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(2), ColorScheme::preferLight);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(0), ColorScheme::noPreference);
  EXPECT_EQ(Appearance::colorSchemeFromPortal(3), std::nullopt);
}

// Chart lines, swatches and header tiles stand out from every fill they are drawn on (3:1, as for
// any graphic that carries meaning), in both appearances and both colour schemes.
TEST(MetricFamily, ColoursStandOutOnEveryBackground) {
  for (const bool safe : {false, true}) {
    for (const bool dark : {false, true}) {
      for (const MetricFamily family : MetricFamilies::all()) {
        const QColor colour = MetricFamilies::color(family, safe).resolve(dark);
        for (const auto& [name, background] : kBackgrounds) {
          EXPECT_GE(test::contrast(colour, background.resolve(dark)), 3.0)
              << MetricFamilies::rawValue(family).toStdString() << " on " << name
              << (dark ? " dark" : " light") << (safe ? " colour-blind safe" : "");
        }
      }
    }
  }
}

// Two families in one chart or legend are told apart: no two share a colour in either scheme or
// appearance (a CIE76 distance of 5 is clearly different at a glance).
TEST(MetricFamily, NoTwoFamiliesLookAlike) {
  for (const bool safe : {false, true}) {
    for (const bool dark : {false, true}) {
      for (const MetricFamily a : MetricFamilies::all()) {
        for (const MetricFamily b : MetricFamilies::all()) {
          if (a >= b) continue;
          EXPECT_GE(labDistance(MetricFamilies::color(a, safe).resolve(dark),
                                MetricFamilies::color(b, safe).resolve(dark)),
                    5.0)
              << MetricFamilies::rawValue(a).toStdString() << " and "
              << MetricFamilies::rawValue(b).toStdString() << (dark ? " dark" : " light")
              << (safe ? " colour-blind safe" : "");
        }
      }
    }
  }
}

TEST(MetricFamily, EachHasItsOwnDrawnSymbolAndOneWayToItsColour) {
  Icons::initResources();
  // Every family once, in declaration order.
  for (std::size_t i = 0; i < MetricFamilies::all().size(); ++i)
    EXPECT_EQ(static_cast<std::size_t>(MetricFamilies::all()[i]), i);
  QStringList seen;
  for (const MetricFamily family : MetricFamilies::all()) {
    SCOPED_TRACE(MetricFamilies::rawValue(family).toStdString());
    const QString symbol = MetricFamilies::symbol(family);
    EXPECT_TRUE(Icons::symbols().contains(symbol)) << symbol.toStdString();
    EXPECT_FALSE(seen.contains(symbol)) << symbol.toStdString();
    seen << symbol;
    EXPECT_EQ(MetricFamilies::standard(family), MetricFamilies::color(family, false));
    EXPECT_EQ(MetricFamilies::colorBlindSafe(family), MetricFamilies::color(family, true));
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

// Sizes a person reads: nothing below 11 px, the page title above the figures, the figures above
// captions and card labels, and a card label told from a caption by its weight.
TEST(Typeface, SizesAreReadableAndOrdered) {
  for (const QFont* font :
       {&Typeface::label(), &Typeface::value(), &Typeface::caption(), &Typeface::mono()}) {
    EXPECT_GE(font->pixelSize(), 11) << font->toString().toStdString();
  }
  Icons::initResources();
  const PageHeader header(QStringLiteral("CPU"), QStringLiteral("8 cores"), MetricFamily::cpu);
  const auto* title = header.findChild<QLabel*>(QStringLiteral("pageHeader.title"));
  ASSERT_TRUE(title);
  EXPECT_GT(title->font().pixelSize(), Typeface::value().pixelSize());
  EXPECT_GT(Typeface::value().pixelSize(), Typeface::caption().pixelSize());
  EXPECT_GE(Typeface::value().pixelSize(), Typeface::label().pixelSize());
  EXPECT_GT(Typeface::label().weight(), Typeface::caption().weight());
  // Figures do not jitter as they change: every digit takes the same advance.
  for (const QFont* font : {&Typeface::value(), &Typeface::caption()}) {
    const QFontMetricsF metrics(*font);
    for (char digit = '1'; digit <= '9'; ++digit)
      EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QChar(digit)), metrics.horizontalAdvance('0')) << digit;
  }
}

TEST(Typeface, MonoIsMonospacedAndFontsAreBuiltOnce) {
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
