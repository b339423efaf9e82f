#include "FakePortal.h"
#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/AppearanceController.h"
#include "design/PortalColorScheme.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDeadlineTimer>
#include <QStyle>
#include <QWidget>

#include <functional>
#include <memory>

namespace kivo {
namespace {

using Appearance::ColorScheme;

bool waitFor(const std::function<bool()>& done, int milliseconds = 5000) {
  QDeadlineTimer deadline(milliseconds);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

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
  EXPECT_EQ(PortalColorScheme::fromReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(0u))))),
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
  EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));

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

// Tests named PrivateBus* need the private bus the ctest wrapper starts (dbus-run-session).
class PrivateBus : public AppearanceFixture {
 protected:
  void SetUp() override {
    if (qEnvironmentVariable("KIVO_PRIVATE_BUS") != QLatin1String("1")) GTEST_SKIP() << "runs under dbus-run-session";
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
  ASSERT_TRUE(waitFor([&] { return controller.isDark(); }));
  EXPECT_TRUE(Appearance::isDark(QGuiApplication::palette()));

  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 2);
  ASSERT_TRUE(waitFor([&] { return !controller.isDark(); }));
  // Other settings of the portal change nothing.
  test::sendSettingChanged(portalBus, QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("color-scheme"), 1);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"), QStringLiteral("accent-color"), 1);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 0);
  // No preference: back to the starting palette, which was light.
  PortalColorScheme probe(client);
  ASSERT_TRUE(waitFor([&] { return probe.settled(); }));
  EXPECT_FALSE(controller.isDark());

  // A chosen scheme ignores the portal.
  controller.setChoice(AppearanceChoice::dark);
  test::sendSettingChanged(portalBus, QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 2);
  ASSERT_TRUE(waitFor([&] { return probe.scheme() == ColorScheme::preferLight; }));
  EXPECT_TRUE(controller.isDark());
}

TEST_F(PrivateBus, AnOlderPortalIsReadWithRead) {
  servePortal();
  settings.hasReadOne = false;
  settings.scheme = 1;
  PortalColorScheme portal(client);
  ASSERT_TRUE(waitFor([&] { return portal.settled(); }));
  EXPECT_EQ(portal.scheme(), ColorScheme::preferDark);
  EXPECT_EQ(settings.reads, 2);
}

TEST_F(PrivateBus, NoPortalOrNoSettingLeavesTheSchemeAbsent) {
  {
    PortalColorScheme portal(client);
    ASSERT_TRUE(waitFor([&] { return portal.settled(); }));
    EXPECT_EQ(portal.scheme(), std::nullopt);
  }
  servePortal();
  settings.hasSetting = false;
  PortalColorScheme portal(client);
  ASSERT_TRUE(waitFor([&] { return portal.settled(); }));
  EXPECT_EQ(portal.scheme(), std::nullopt);
}

}  // namespace
}  // namespace kivo
