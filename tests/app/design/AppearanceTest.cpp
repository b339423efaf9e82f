#include "Contrast.h"
#include "FakePortal.h"
#include "TestSupport.h"
#include "WaitUntil.h"
#include "design/Appearance.h"
#include "design/AppearanceController.h"
#include "design/ControlStyle.h"
#include "design/PortalColorScheme.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDBusArgument>
#include <QImage>
#include <QProxyStyle>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace kivo {
namespace {

using Appearance::ColorScheme;
using test::contrast;
using test::waitUntil;

// The application palette and style are process-wide: put them back after each test.
class AppearanceFixture : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = QGuiApplication::palette(); }
  void TearDown() override { QApplication::setPalette(saved_); }

 private:
  QPalette saved_;
};

using AppearanceControllerTest = AppearanceFixture;

TEST(PortalColorScheme, RepliesUnwrapToASchemeOrNothing) {
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant(1u)), ColorScheme::preferDark);
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant::fromValue(QDBusVariant(2u))), ColorScheme::preferLight);
  EXPECT_EQ(
      PortalColorScheme::fromReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(0u))))),
      ColorScheme::noPreference);
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant(7u)), std::nullopt);
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant(-1)), std::nullopt);
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant(QStringLiteral("dark"))), std::nullopt);
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant()), std::nullopt);
}

TEST_F(AppearanceControllerTest, WithoutAPortalMatchSystemKeepsTheStartingLightness) {
  QApplication::setPalette(Appearance::palette(true));  // as if Qt started dark
  AppearanceController controller{QDBusConnection(QString())};
  EXPECT_TRUE(controller.startedDark());
  EXPECT_TRUE(controller.isDark());
  const auto* style = qobject_cast<const QProxyStyle*>(QApplication::style());
  ASSERT_TRUE(style && style->baseStyle());
  EXPECT_EQ(style->baseStyle()->name().toLower(), QStringLiteral("fusion"));

  QWidget widget;
  int changes = 0;
  QObject::connect(&controller, &AppearanceController::darkChanged, [&changes] { ++changes; });
  controller.setChoice(AppearanceChoice::light);
  EXPECT_FALSE(controller.isDark());
  QCoreApplication::processEvents();
  EXPECT_EQ(Palette::surface.resolve(&widget), Palette::surface.resolve(false)) << "resolved when painted";
  controller.setChoice(AppearanceChoice::dark);
  QCoreApplication::processEvents();
  EXPECT_EQ(Palette::surface.resolve(&widget), Palette::surface.resolve(true));
  controller.setChoice(AppearanceChoice::system);
  EXPECT_TRUE(controller.isDark());
  EXPECT_EQ(changes, 2) << "light, then dark; system was dark already";
}

TEST(Appearance, SelectedTextIsReadableInBothSchemes) {
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    const QPalette palette = Appearance::palette(dark);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      const QColor highlight = palette.color(group, QPalette::Highlight);
      EXPECT_GE(contrast(highlight, palette.color(group, QPalette::HighlightedText)), 4.5);
      // Views that keep their own text colour on a selected row stay readable too.
      EXPECT_GE(contrast(highlight, Palette::textPrimary.resolve(dark)), dark ? 4.5 : 1.0);
    }
  }
}

// An unchecked box drawn by the application's style on a card: its frame must stand out from the
// card (3:1, as for any control boundary).
TEST(Appearance, AnUncheckedBoxStandsOutOnACard) {
  const auto fusion = std::make_unique<ControlStyle>();
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    const QColor card = Palette::surface.resolve(dark);
    QCheckBox box(QStringLiteral("Open at login"));
    box.setStyle(fusion.get());
    box.setPalette(Appearance::palette(dark));
    box.resize(box.sizeHint());
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(card);
    box.render(&image, {}, {}, QWidget::DrawChildren);
    image.save(test::outputDir() +
               (dark ? QStringLiteral("/checkbox-dark.png") : QStringLiteral("/checkbox-light.png")));

    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator = fusion->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    ASSERT_FALSE(indicator.isEmpty());
    double strongest = 1;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y) {
      for (int x = indicator.left(); x <= indicator.right(); ++x) {
        strongest = std::max(strongest, contrast(image.pixelColor(x, y), card));
      }
    }
    EXPECT_GE(strongest, 3.0);
  }
}

// A slider's handle drawn by the application's style on a card: it must stand out from the card
// and from the empty track beside it (3:1, as for any control boundary).
TEST(Appearance, ASliderHandleStandsOutFromItsTrackAndTheCard) {
  const auto style = std::make_unique<ControlStyle>();
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    const QColor card = Palette::surface.resolve(dark);
    QSlider slider(Qt::Horizontal);
    slider.setStyle(style.get());
    slider.setPalette(Appearance::palette(dark));
    slider.setRange(0, 10);
    slider.setValue(3);
    slider.resize(200, slider.sizeHint().height());
    QImage image(slider.size(), QImage::Format_RGB32);
    image.fill(card);
    slider.render(&image, {}, {}, QWidget::DrawChildren);
    image.save(test::outputDir() +
               (dark ? QStringLiteral("/slider-dark.png") : QStringLiteral("/slider-light.png")));

    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = option.sliderValue = slider.value();
    const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const QRect groove = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    ASSERT_FALSE(handle.isEmpty());
    ASSERT_LT(handle.right() + 10, groove.right());
    // The track after the handle, where no value fills it.
    const QColor track = image.pixelColor(groove.right() - 6, groove.center().y());
    double againstCard = 1;
    double againstTrack = 1;
    for (int y = handle.top(); y <= handle.bottom(); ++y) {
      for (int x = handle.left(); x <= handle.right(); ++x) {
        againstCard = std::max(againstCard, contrast(image.pixelColor(x, y), card));
        againstTrack = std::max(againstTrack, contrast(image.pixelColor(x, y), track));
      }
    }
    EXPECT_GE(againstCard, 3.0);
    EXPECT_GE(againstTrack, 3.0);
  }
}

// Tests named PrivateBus* need the private bus the ctest wrapper starts (dbus-run-session).
class PrivateBus : public AppearanceFixture {
 protected:
  void SetUp() override {
    if (qEnvironmentVariable("KIVO_PRIVATE_BUS") != QLatin1String("1"))
      GTEST_SKIP() << "runs under dbus-run-session";
    AppearanceFixture::SetUp();
    static int count = 0;
    ++count;
    clientName_ = QStringLiteral("kivo-design-client-%1").arg(count);
    portalName_ = QStringLiteral("kivo-design-portal-%1").arg(count);
    client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, clientName_);
    portalBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, portalName_);
    ASSERT_TRUE(client.isConnected());
    ASSERT_TRUE(portalBus.isConnected());
  }
  void TearDown() override {
    if (clientName_.isEmpty()) return;
    portalBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    portalBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    QDBusConnection::disconnectFromBus(portalName_);
    QDBusConnection::disconnectFromBus(clientName_);
    AppearanceFixture::TearDown();
  }
  void servePortal() {
    ASSERT_TRUE(portalBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    ASSERT_TRUE(portalBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &settings,
                                         QDBusConnection::ExportAllSlots));
  }

  QDBusConnection client{QString()};
  QDBusConnection portalBus{QString()};
  test::FakePortalSettings settings;

 private:
  QString clientName_;
  QString portalName_;
};

TEST_F(PrivateBus, MatchSystemFollowsThePortalAndItsChanges) {
  servePortal();
  settings.scheme = 1;
  QApplication::setPalette(Appearance::palette(false));
  AppearanceController controller(client);
  EXPECT_FALSE(controller.isDark()) << "the read does not block: the starting palette holds until the answer";
  ASSERT_TRUE(waitUntil([&] { return controller.isDark(); }));
  EXPECT_TRUE(Appearance::isDark(QGuiApplication::palette()));

  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"),
                           QStringLiteral("color-scheme"), 2);
  ASSERT_TRUE(waitUntil([&] { return !controller.isDark(); }));
  // Other settings of the portal change nothing.
  test::sendSettingChanged(portalBus, QStringLiteral("org.gnome.desktop.interface"),
                           QStringLiteral("color-scheme"), 1);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"),
                           QStringLiteral("accent-color"), 1);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"),
                           QStringLiteral("color-scheme"), 0);
  // No preference: back to the starting palette, which was light.
  PortalColorScheme probe(client);
  ASSERT_TRUE(waitUntil([&] { return probe.settled(); }));
  EXPECT_FALSE(controller.isDark());

  // A chosen scheme ignores the portal.
  controller.setChoice(AppearanceChoice::dark);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"),
                           QStringLiteral("color-scheme"), 2);
  ASSERT_TRUE(waitUntil([&] { return probe.scheme() == ColorScheme::preferLight; }));
  EXPECT_TRUE(controller.isDark());
}

TEST_F(PrivateBus, AnOlderPortalIsReadWithRead) {
  servePortal();
  settings.hasReadOne = false;
  settings.scheme = 1;
  PortalColorScheme portal(client);
  ASSERT_TRUE(waitUntil([&] { return portal.settled(); }));
  EXPECT_EQ(portal.scheme(), ColorScheme::preferDark);
  EXPECT_EQ(settings.reads, 2);
}

TEST_F(PrivateBus, NoPortalOrNoSettingLeavesTheSchemeAbsent) {
  {
    PortalColorScheme portal(client);
    ASSERT_TRUE(waitUntil([&] { return portal.settled(); }));
    EXPECT_EQ(portal.scheme(), std::nullopt);
  }
  servePortal();
  settings.hasSetting = false;
  PortalColorScheme portal(client);
  ASSERT_TRUE(waitUntil([&] { return portal.settled(); }));
  EXPECT_EQ(portal.scheme(), std::nullopt);
}

}  // namespace
}  // namespace kivo
