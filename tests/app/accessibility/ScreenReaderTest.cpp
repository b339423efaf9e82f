// With a screen reader already listening when the windows are built: every change a widget
// announces while it is being made reaches the accessibility bridge at once.

#include "../shell/ShellTestSupport.h"
#include "FakeBus.h"
#include "TestSupport.h"

#include "features/tray/MenuBarPanel.h"
#include "shell/DashboardWindow.h"
#include "shell/MainWindow.h"
#include "shell/SettingsWindow.h"
#include "shell/SidebarRow.h"

#include <QAccessible>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace kivo {
namespace {

// The accessibility bus launcher of the desktop: its one method tells where the bus is. The
// private session bus serves as that bus too.
class A11yBus : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")

 public slots:
  QString GetAddress() { return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"); }
};

// Tests named ScreenReader* need an X server, the private bus and QT_LINUX_ACCESSIBILITY_ALWAYS_ON,
// as their ctest entry gives them: only a platform with an accessibility bridge turns it on.
class ScreenReader : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!available()) return;
    bus_ = std::make_unique<test::FakeBus>(QStringLiteral("kivo-a11y-bus"));
    bus_->serve<A11yBus>(QStringLiteral("/org/a11y/bus"));
    bus_->own(QStringLiteral("org.a11y.Bus"));
  }
  static void TearDownTestSuite() { bus_.reset(); }
  void SetUp() override {
    if (!available()) GTEST_SKIP() << "runs under Xvfb and dbus-run-session";
    ASSERT_TRUE(test::waitUntil([] { return QAccessible::isActive(); })) << "the bridge did not start";
  }

 private:
  static bool available() {
    return qEnvironmentVariable("KIVO_PRIVATE_BUS") == QLatin1String("1") &&
           QGuiApplication::platformName() == QLatin1String("xcb");
  }
  static inline std::unique_ptr<test::FakeBus> bus_;
};

TEST_F(ScreenReader, WindowsAndTheSidebarKeepTheirRoles) {
  test::ShellRig rig({{QStringLiteral("KIVOUITest"), QStringLiteral("YES")}});
  rig.model->shutdown();
  rig.shell->showMainWindow();
  MainWindow* window = rig.shell->mainWindow();
  rig.shell->openSettings();
  DashboardWindow* dashboard = rig.shell->openDashboardWindow();
  MenuBarPanel panel(*rig.model, {});
  panel.setAttribute(Qt::WA_DontShowOnScreen);
  panel.show();
  test::settle();

  auto* row = window->findChild<SidebarRow*>(QStringLiteral("sidebar.cpu"));
  ASSERT_TRUE(row);
  struct Case {
    const char* what;
    QWidget* widget;
    QAccessible::Role role;
  };
  const Case cases[] = {
      {"sidebar row", row, QAccessible::PageTab},
      {"sidebar", row->parentWidget(), QAccessible::PageTabList},
      {"settings", rig.shell->settingsWindow(), QAccessible::Dialog},
      {"dashboard window", dashboard, QAccessible::Window},
      {"tray panel", &panel, QAccessible::Window},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.widget) << c.what;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(c.widget);
    ASSERT_TRUE(iface) << c.what;
    EXPECT_EQ(iface->role(), c.role) << c.what;
  }
  // Every section, not only the one above.
  const QList<SidebarRow*> rows = window->findChildren<SidebarRow*>();
  EXPECT_EQ(rows.size(), qsizetype(AppSections::allCases().size()));
  for (SidebarRow* each : rows) {
    EXPECT_EQ(QAccessible::queryAccessibleInterface(each)->role(), QAccessible::PageTab)
        << each->objectName().toStdString();
  }
}

}  // namespace
}  // namespace kivo

#include "ScreenReaderTest.moc"
