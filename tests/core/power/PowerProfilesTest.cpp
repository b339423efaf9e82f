#include "platform/PowerProfiles.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <memory>

namespace kivo {
namespace {

// A stand-in for the profile daemon: answers Properties.Get of ActiveProfile on its
// interface, refuses everything else. A virtual object needs no meta-object compiler.
class FakeDaemon : public QDBusVirtualObject {
 public:
  FakeDaemon(QString interface, QString profile)
      : interface_(std::move(interface)), profile_(std::move(profile)) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const auto args = message.arguments();
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") &&
        message.member() == QLatin1String("Get") && args.size() == 2 && args[0].toString() == interface_ &&
        args[1].toString() == QLatin1String("ActiveProfile")) {
      connection.send(message.createReply(QVariant::fromValue(QDBusVariant(profile_))));
    } else {
      connection.send(
          message.createErrorReply(QDBusError::UnknownProperty, QStringLiteral("no such property")));
    }
    return true;
  }

 private:
  QString interface_;
  QString profile_;
};

// A private bus for the test, with the fake daemons answering from their own thread
// while the reader blocks on its call.
class PrivateBus : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    process_.start(
        daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(process_.waitForStarted(5000));
    ASSERT_TRUE(process_.waitForReadyRead(5000));
    address_ = QString::fromUtf8(process_.readLine()).trimmed();
    ASSERT_FALSE(address_.isEmpty());
    worker_.start();
  }

  void TearDown() override {
    for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
    worker_.quit();
    worker_.wait();
    objects_.clear();
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }

  QDBusConnection connect(const QString& name) {
    connections_ << name;
    return QDBusConnection::connectToBus(address_, name);
  }

  void serve(const char* service, const char* path, const QString& profile) {
    QDBusConnection bus = connect(QLatin1String(service));
    ASSERT_TRUE(bus.isConnected());
    auto object = std::make_unique<FakeDaemon>(QLatin1String(service), profile);
    object->moveToThread(&worker_);
    ASSERT_TRUE(bus.registerVirtualObject(QLatin1String(path), object.get()));
    ASSERT_TRUE(bus.registerService(QLatin1String(service)));
    objects_.push_back(std::move(object));
  }

  QProcess process_;
  QString address_;
  QThread worker_;
  QStringList connections_;
  std::vector<std::unique_ptr<FakeDaemon>> objects_;
};

TEST_F(PrivateBus, ReadsTheOlderServiceName) {
  serve("net.hadess.PowerProfiles", "/net/hadess/PowerProfiles", QStringLiteral("power-saver"));
  DBusPowerProfiles profiles(connect(QStringLiteral("reader")), 2000);
  EXPECT_EQ(profiles.activeProfile(), QStringLiteral("power-saver"));
}

TEST_F(PrivateBus, PrefersTheNewerServiceName) {
  serve("net.hadess.PowerProfiles", "/net/hadess/PowerProfiles", QStringLiteral("power-saver"));
  serve("org.freedesktop.UPower.PowerProfiles", "/org/freedesktop/UPower/PowerProfiles",
        QStringLiteral("balanced"));
  DBusPowerProfiles profiles(connect(QStringLiteral("reader")), 2000);
  EXPECT_EQ(profiles.activeProfile(), QStringLiteral("balanced"));
}

TEST_F(PrivateBus, NoDaemonMeansNoProfile) {
  DBusPowerProfiles profiles(connect(QStringLiteral("reader")), 2000);
  EXPECT_EQ(profiles.activeProfile(), std::nullopt);
}

}  // namespace
}  // namespace kivo
