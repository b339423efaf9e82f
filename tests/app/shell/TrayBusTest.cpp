// The tray item against a fake StatusNotifier watcher on a private bus: registration whenever a
// watcher comes, the toolkit left alone while no tray is there, and the item as a host sees it.

#include "FakeBus.h"
#include "ModelTestSupport.h"
#include "WaitUntil.h"

#include "desktop/DBusMenu.h"
#include "desktop/StatusNotifierItem.h"
#include "desktop/TrayHost.h"
#include "features/settings/MenuBarPane.h"
#include "features/tray/MenuBarPanel.h"
#include "features/tray/MenuBarTray.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QMenu>
#include <QMutex>
#include <QSystemTrayIcon>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

namespace kivo {

const QString kWatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");

// A minimal watcher: owns the name, says a host is there and keeps what registers.
class FakeWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const {
    QMutexLocker lock(&mutex_);
    return items_;
  }

 public slots:
  void RegisterStatusNotifierItem(const QString& service) {
    QMutexLocker lock(&mutex_);
    items_ << service;
  }
  void RegisterStatusNotifierHost(const QString&) {}

 private:
  mutable QMutex mutex_;
  QStringList items_;
};

namespace {

using test::waitUntil;

// One watcher process: its own connection, gone with it.
struct Watcher {
  explicit Watcher(int n) : bus(std::make_unique<test::FakeBus>(QStringLiteral("kivo-watcher-%1").arg(n))) {
    watcher = bus->serve<FakeWatcher>(QStringLiteral("/StatusNotifierWatcher"));
    EXPECT_TRUE(bus->own(kWatcherName));
  }
  std::unique_ptr<test::FakeBus> bus;
  FakeWatcher* watcher = nullptr;
};

class PrivateBusTrayBase {
 protected:
  static bool onPrivateBus() { return qEnvironmentVariable("KIVO_PRIVATE_BUS") == QLatin1String("1"); }
  static QDBusConnection client() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kivo-tray-client"));
  }
  static bool ownerGone(const QDBusConnection& bus) {
    return waitUntil([&] { return !bus.interface()->isServiceRegistered(kWatcherName).value(); });
  }
};

enum class Arrival { before, after, restarted, gone };

struct Case {
  Arrival arrival;
  bool x11;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  static const char* const names[] = {"WatcherBefore", "WatcherAfter", "WatcherRestarted", "WatcherGone"};
  return std::string(names[static_cast<int>(info.param.arrival)]) + (info.param.x11 ? "OnX11" : "NotX11");
}

class PrivateBusTray : public ::testing::TestWithParam<Case>, protected PrivateBusTrayBase {
 protected:
  void SetUp() override {
    if (!onPrivateBus()) GTEST_SKIP() << "runs under dbus-run-session";
  }
};

// Whenever a watcher appears the item registers with it, before or after the monitor and after
// a restart; the pane's note follows; and the toolkit is never asked, as there is no XEmbed tray.
TEST_P(PrivateBusTray, TheItemRegistersWithEveryWatcherAndTheToolkitIsNotAsked) {
  const Case c = GetParam();
  test::ModelRig rig;
  QDBusConnection bus = client();
  ASSERT_TRUE(bus.isConnected());
  int toolkitAsked = 0;
  int xembedAsked = 0;
  TrayHost::Check xembed;
  if (c.x11)
    xembed = [&] {
      ++xembedAsked;
      return false;
    };

  std::unique_ptr<Watcher> watcher;
  if (c.arrival != Arrival::after) watcher = std::make_unique<Watcher>(1);
  MenuBarTray tray(*rig.model, *rig.settings, {},
                   new TrayHost(bus, xembed,
                                [&] {
                                  ++toolkitAsked;
                                  return true;
                                }),
                   nullptr);
  MenuBarPane pane(*rig.settings, &tray.host());

  auto registeredWith = [&](const Watcher& w) {
    return waitUntil([&] {
      return tray.statusNotifierItem() &&
             w.watcher->items().contains(tray.statusNotifierItem()->serviceName());
    });
  };
  auto expectShown = [&] {
    EXPECT_TRUE(tray.isShown());
    EXPECT_FALSE(pane.showsNoTrayNote());
    EXPECT_FALSE(tray.trayIcon());
  };
  auto expectHidden = [&] {
    EXPECT_FALSE(tray.isShown());
    EXPECT_TRUE(pane.showsNoTrayNote());
    EXPECT_FALSE(tray.statusNotifierItem());
    EXPECT_FALSE(tray.trayIcon());
  };

  if (watcher) {
    ASSERT_TRUE(registeredWith(*watcher));
    expectShown();
  } else {
    expectHidden();
  }
  switch (c.arrival) {
    case Arrival::before:
      break;
    case Arrival::after:
      watcher = std::make_unique<Watcher>(2);
      ASSERT_TRUE(registeredWith(*watcher));
      expectShown();
      break;
    case Arrival::restarted:
    case Arrival::gone:
      watcher.reset();
      ASSERT_TRUE(ownerGone(bus));
      ASSERT_TRUE(waitUntil([&] { return !tray.isShown(); }));
      expectHidden();
      if (c.arrival == Arrival::gone) break;
      watcher = std::make_unique<Watcher>(3);
      ASSERT_TRUE(registeredWith(*watcher));
      expectShown();
      break;
  }
  EXPECT_EQ(toolkitAsked, 0);
  if (!c.x11) {
    EXPECT_EQ(xembedAsked, 0);
  }
  rig.model->shutdown();
}

INSTANTIATE_TEST_SUITE_P(PrivateBusTable, PrivateBusTray,
                         ::testing::Values(Case{Arrival::before, true}, Case{Arrival::before, false},
                                           Case{Arrival::after, true}, Case{Arrival::after, false},
                                           Case{Arrival::restarted, true}, Case{Arrival::restarted, false},
                                           Case{Arrival::gone, true}, Case{Arrival::gone, false}),
                         caseName);

class PrivateBusTrayItem : public ::testing::Test, protected PrivateBusTrayBase {
 protected:
  void SetUp() override {
    if (!onPrivateBus()) GTEST_SKIP() << "runs under dbus-run-session";
  }
};

// With an XEmbed tray too (panels that host both), the watcher wins; without it the toolkit's
// icon shows, asked only then. Switching the item off and on registers it afresh.
TEST_F(PrivateBusTrayItem, AWatcherIsPreferredToAnXEmbedTrayAndTheSettingRegistersAgain) {
  test::ModelRig rig;
  QDBusConnection bus = client();
  int toolkitAsked = 0;
  bool xembed = true;
  MenuBarTray tray(*rig.model, *rig.settings, {},
                   new TrayHost(
                       bus, [&] { return xembed; },
                       [&] {
                         ++toolkitAsked;
                         return true;
                       }),
                   nullptr);
  ASSERT_TRUE(tray.trayIcon());
  EXPECT_GE(toolkitAsked, 1);
  EXPECT_FALSE(tray.statusNotifierItem());

  auto watcher = std::make_unique<Watcher>(4);
  ASSERT_TRUE(waitUntil([&] { return tray.statusNotifierItem() != nullptr; }));
  EXPECT_FALSE(tray.trayIcon());
  ASSERT_TRUE(waitUntil([&] { return watcher->watcher->items().size() == 1; }));

  rig.settings->setShowMenuBar(false);
  EXPECT_FALSE(tray.statusNotifierItem());
  rig.settings->setShowMenuBar(true);
  ASSERT_TRUE(waitUntil([&] { return watcher->watcher->items().size() == 2; }));

  // The watcher goes: back to the XEmbed tray. Then that goes too.
  watcher.reset();
  ASSERT_TRUE(waitUntil([&] { return tray.trayIcon() != nullptr; }));
  EXPECT_FALSE(tray.statusNotifierItem());
  xembed = false;
  tray.host().recheck();
  EXPECT_FALSE(tray.isShown());
  rig.model->shutdown();
}

// Calls our own item the way a host does: from another connection, without blocking the loop
// that answers.
QDBusMessage callItem(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {}) {
  QDBusConnection host =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("kivo-host"));
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(arguments);
  QDBusPendingCallWatcher pending(host.asyncCall(call));
  waitUntil([&] { return pending.isFinished(); });
  return pending.reply();
}

QVariant property(const QString& service, const QString& name) {
  const QDBusMessage reply =
      callItem(service, StatusNotifierItem::kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
               QStringLiteral("Get"), {QStringLiteral("org.kde.StatusNotifierItem"), name});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().first().value<QDBusVariant>().variant();
}

TEST_F(PrivateBusTrayItem, AHostReadsTheItemOpensThePanelAndUsesTheMenu) {
  test::ModelRig rig;
  QDBusConnection bus = client();
  Watcher watcher(5);
  MenuBarTray tray(*rig.model, *rig.settings, {}, new TrayHost(bus, {}, [] { return false; }), nullptr);
  ASSERT_TRUE(tray.statusNotifierItem());
  const QString service = tray.statusNotifierItem()->serviceName();
  ASSERT_TRUE(waitUntil([&] { return watcher.watcher->items() == QStringList{service}; }));

  EXPECT_EQ(property(service, QStringLiteral("Id")).toString(), QStringLiteral("kivo-monitor"));
  EXPECT_EQ(property(service, QStringLiteral("Title")).toString(), QStringLiteral("KIVO Monitor"));
  EXPECT_EQ(property(service, QStringLiteral("Status")).toString(), QStringLiteral("Active"));
  EXPECT_EQ(property(service, QStringLiteral("Category")).toString(), QStringLiteral("ApplicationStatus"));
  EXPECT_FALSE(property(service, QStringLiteral("ItemIsMenu")).toBool());
  EXPECT_EQ(property(service, QStringLiteral("Menu")).value<QDBusObjectPath>().path(),
            StatusNotifierItem::kMenuPath);

  // The icon: every size, ARGB in network byte order.
  const auto icons = qdbus_cast<StatusNotifierImages>(property(service, QStringLiteral("IconPixmap")));
  ASSERT_EQ(icons.size(), 6);
  const StatusNotifierImage& icon = icons.at(3);
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.pixels.size(), 32 * 32 * 4);
  const QImage drawn = MenuBarTray::iconImage(32, false).convertToFormat(QImage::Format_ARGB32);
  const QRgb centre = drawn.pixel(16, 16);
  const auto* bytes = reinterpret_cast<const uchar*>(icon.pixels.constData()) + (16 * 32 + 16) * 4;
  EXPECT_EQ(bytes[0], qAlpha(centre));
  EXPECT_EQ(bytes[1], qRed(centre));
  EXPECT_EQ(bytes[2], qGreen(centre));
  EXPECT_EQ(bytes[3], qBlue(centre));

  const auto tip = qdbus_cast<StatusNotifierToolTip>(property(service, QStringLiteral("ToolTip")));
  EXPECT_EQ(tip.title, QStringLiteral("KIVO Monitor"));
  EXPECT_TRUE(tip.text.startsWith(QStringLiteral("CPU"))) << tip.text.toStdString();

  // Activate opens the panel; ContextMenu and SecondaryActivate the menu.
  const QString item = QStringLiteral("org.kde.StatusNotifierItem");
  callItem(service, StatusNotifierItem::kPath, item, QStringLiteral("Activate"), {200, 10});
  ASSERT_TRUE(waitUntil([&] { return tray.panel() && tray.panel()->isVisible(); }));
  tray.panel()->hide();
  for (const char* method : {"ContextMenu", "SecondaryActivate"}) {
    callItem(service, StatusNotifierItem::kPath, item, QString::fromLatin1(method), {200, 10});
    EXPECT_TRUE(waitUntil([&] { return tray.menu()->isVisible(); })) << method;
    tray.menu()->hide();
  }

  // The menu as a host draws it: the same entries, and a click on one triggers it.
  const QString menu = QStringLiteral("com.canonical.dbusmenu");
  const QDBusMessage layout = callItem(service, StatusNotifierItem::kMenuPath, menu,
                                       QStringLiteral("GetLayout"), {0, -1, QStringList()});
  ASSERT_EQ(layout.arguments().size(), 2) << layout.errorMessage().toStdString();
  const auto root = qdbus_cast<DBusMenuLayout>(layout.arguments().at(1));
  QStringList labels;
  for (const DBusMenuLayout& child : root.children) {
    labels << child.properties.value(QStringLiteral("label"), child.properties.value(QStringLiteral("type")))
                  .toString();
  }
  EXPECT_EQ(labels, (QStringList{QStringLiteral("Open KIVO Monitor"), QStringLiteral("Pause Sampling"),
                                 QStringLiteral("Settings…"), QStringLiteral("separator"),
                                 QStringLiteral("Quit KIVO Monitor")}));
  const uint revision = layout.arguments().at(0).toUInt();
  callItem(service, StatusNotifierItem::kMenuPath, menu, QStringLiteral("Event"),
           {2, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
  ASSERT_TRUE(waitUntil([&] { return rig.model->isPaused(); }));
  // The entry's new text is a new layout.
  const QDBusMessage after = callItem(service, StatusNotifierItem::kMenuPath, menu,
                                      QStringLiteral("GetLayout"), {0, -1, QStringList()});
  EXPECT_GT(after.arguments().at(0).toUInt(), revision);
  EXPECT_EQ(qdbus_cast<DBusMenuLayout>(after.arguments().at(1))
                .children.at(1)
                .properties.value(QStringLiteral("label")),
            QStringLiteral("Resume Sampling"));
  rig.model->shutdown();
}

}  // namespace

}  // namespace kivo

#include "TrayBusTest.moc"
