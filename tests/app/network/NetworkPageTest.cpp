#include "features/network/LatencyRunner.h"
#include "features/network/NetworkPage.h"

#include "NetworkTestSupport.h"
#include "collectors/LatencyProbe.h"
#include "design/KeyValueRow.h"
#include "design/KeyedGrid.h"
#include "design/Readout.h"
#include "design/ToneLabel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

namespace kivo {
namespace {

using test::interface;

// The probe the page would run, aimed at a local port instead of 443.
LatencyRunner* localRunner(quint16 port) {
  return new LatencyRunner([port](const QString& host) {
    auto result = LatencyProbe::measure(host, port, LatencyRunner::kAttempts, LatencyRunner::kTimeout);
    return result;
  });
}

void type(QLineEdit* field, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(field, &press);
  }
}

// A TCP socket bound to 127.0.0.1 on a free port; listening only when asked. The kernel
// completes handshakes on a listening socket without anyone accepting.
struct LocalPort {
  explicit LocalPort(bool listening) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    if (listening) ::listen(fd, 16);
  }
  ~LocalPort() { ::close(fd); }
  int fd = -1;
  quint16 port = 0;
};

bool waitForThreads() {
  return test::waitUntil([] { return LatencyRunner::activeThreads() == 0; }, 30'000);
}

TEST(LatencyText, FiguresOverTheSuccessfulAttempts) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  const auto all = LatencyText::figures(LatencyResult{"h", 443, {10, 20, 30, 40, 50.04}, 5}, format);
  ASSERT_EQ(all.size(), 4U);
  EXPECT_EQ(all[0].value, QStringLiteral("30.0 ms"));
  EXPECT_EQ(all[1].value, QStringLiteral("10.0 ms"));
  EXPECT_EQ(all[2].value, QStringLiteral("50.0 ms"));
  EXPECT_EQ(all[3].value, QStringLiteral("0/5"));
  EXPECT_FALSE(all[3].warning);
  const auto one = LatencyText::figures(LatencyResult{"h", 443, {12.34}, 5}, format);
  EXPECT_EQ(one[0].value, QStringLiteral("12.3 ms"));
  EXPECT_EQ(one[1].value, one[0].value);
  EXPECT_EQ(one[2].value, one[0].value);
  EXPECT_EQ(one[3].value, QStringLiteral("4/5"));
  EXPECT_TRUE(one[3].warning);
  const LatencyResult none{"example.invalid", 443, {}, 5};
  EXPECT_TRUE(LatencyText::figures(none, format).empty());
  EXPECT_EQ(LatencyText::failure(none),
            QStringLiteral("No connection to example.invalid on port 443 succeeded."));
}

TEST(LatencyRunner, TrimsSpacesButNotLineBreaks) {
  EXPECT_EQ(LatencyRunner::trimmedHost(QStringLiteral("  1.1.1.1\t ")), QStringLiteral("1.1.1.1"));
  EXPECT_EQ(LatencyRunner::trimmedHost(QStringLiteral("   ")), QString());
  EXPECT_EQ(LatencyRunner::trimmedHost(QStringLiteral(" a\n")), QStringLiteral("a\n"));
  LatencyRunner runner([](const QString& host) { return LatencyResult{host, 443, {}, 0}; });
  EXPECT_FALSE(runner.canRun(QStringLiteral(" \t ")));
  EXPECT_FALSE(runner.run(QStringLiteral("  ")));
  EXPECT_FALSE(runner.isRunning());
}

class NetworkPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DNSConfiguration dns;
    dns.primaryInterface = QStringLiteral("eth0");
    dns.router = QStringLiteral("192.0.2.1");
    dns.servers = {QStringLiteral("192.0.2.53")};
    WiFiLink wifi;
    wifi.isPoweredOn = true;
    wifi.rssi = -58;
    wifi.noise = -92;
    wifi.transmitRate = 573.5;
    wifi.channel = 44;
    wifi.band = QStringLiteral("5 GHz");
    wifi.phyMode = QStringLiteral("802.11ax");
    rig = std::make_unique<test::NetworkRig>(dns, wifi);
  }
  void TearDown() override { ASSERT_TRUE(waitForThreads()); }

  void feed() {
    for (int i = 0; i < 40; ++i) {
      auto snapshot = test::snapshotAt(i * 2.0, {{MetricID::netDown, 400'000.0 + (i % 7) * 90'000.0},
                                                 {MetricID::netUp, 40'000.0 + (i % 5) * 15'000.0}});
      auto eth = interface("eth0", InterfaceKind::ethernet, true, true, {"192.0.2.2"}, {"fd00::2"});
      eth.downRate = 400'000;
      eth.upRate = 40'000;
      eth.totalBytesIn = 1'234'567'890;
      eth.totalBytesOut = 98'765'432;
      snapshot.network =
          NetworkSample{{interface("lo", InterfaceKind::loopback, true, true, {"127.0.0.1"}, {"::1"}), eth,
                         interface("docker0", InterfaceKind::bridge, true, false, {})},
                        400'000.0,
                        40'000.0,
                        QStringLiteral("eth0")};
      rig->model->ingest(rig->withSlowReadings(snapshot));
    }
    // A cable and Wi-Fi; a veth pair comes, the cable is pulled and plugged in again.
    const auto path = [](bool online, QStringList interfaces, std::vector<NetworkLink> links) {
      NetworkPath p;
      p.online = online;
      p.interfaces = std::move(interfaces);
      p.links = std::move(links);
      return p;
    };
    const NetworkLink wifi{QStringLiteral("wlp2s0"), InterfaceKind::wifi, true};
    NetworkLink cable{QStringLiteral("eth0"), InterfaceKind::ethernet, true};
    const NetworkLink veth0{QStringLiteral("kivo0"), InterfaceKind::other, true};
    const NetworkLink veth1{QStringLiteral("kivo1"), InterfaceKind::other, true};
    rig->model->pathChanged(path(true, {"eth0", "wlp2s0"}, {cable, wifi}));
    rig->model->pathChanged(path(true, {"eth0", "wlp2s0", "kivo0", "kivo1"}, {cable, wifi, veth0, veth1}));
    cable.up = false;
    rig->model->pathChanged(path(true, {"wlp2s0", "kivo0", "kivo1"}, {cable, wifi, veth0, veth1}));
    cable.up = true;
    rig->model->pathChanged(path(true, {"eth0", "wlp2s0", "kivo0", "kivo1"}, {cable, wifi, veth0, veth1}));
    rig->model->pathChanged(path(false, {}, {cable, wifi, veth0, veth1}));
  }

  std::unique_ptr<test::NetworkRig> rig;
};

TEST_F(NetworkPageTest, LocalListenerGivesFiguresAndAClosedPortTheFailureLine) {
  const LocalPort listening(true);
  ASSERT_NE(listening.port, 0);
  rig->settings->setLatencyHost(QString());
  auto* page = new NetworkPage(*rig->model, *rig->settings, localRunner(listening.port));
  auto* host = page->findChild<QLineEdit*>(QStringLiteral("network.latencyHost"));
  auto* run = page->findChild<QPushButton*>(QStringLiteral("network.latencyRun"));
  ASSERT_TRUE(host && run);
  EXPECT_FALSE(run->isEnabled());
  type(host, QStringLiteral("   "));
  EXPECT_FALSE(run->isEnabled());
  host->clear();
  type(host, QStringLiteral(" 127.0.0.1 "));
  // Every keystroke is saved as typed; the test runs the trimmed host.
  EXPECT_EQ(rig->settings->latencyHost(), QStringLiteral(" 127.0.0.1 "));
  ASSERT_TRUE(run->isEnabled());
  run->click();
  EXPECT_EQ(run->text(), QStringLiteral("Testing…"));
  EXPECT_FALSE(run->isEnabled());
  ASSERT_TRUE(test::waitUntil([&] { return !page->latency().isRunning(); }, 30'000));
  EXPECT_EQ(run->text(), QStringLiteral("Run Test"));
  EXPECT_TRUE(run->isEnabled());
  ASSERT_TRUE(page->latency().result());
  EXPECT_EQ(page->latency().result()->host, QStringLiteral("127.0.0.1"));
  EXPECT_EQ(page->latency().result()->samples.size(), 5U);
  auto* figures = page->findChild<QWidget*>(QStringLiteral("network.latencyFigures"));
  EXPECT_FALSE(figures->isHidden());
  EXPECT_EQ(figures->findChildren<Readout*>().last()->shownValue(), QStringLiteral("0/5"));
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("network.latencyFailure"))->isHidden());
  delete page;

  // Bound but not listening: every handshake is refused at once.
  const LocalPort closed(false);
  const quint16 port = closed.port;
  NetworkPage refused(*rig->model, *rig->settings, localRunner(port));
  refused.findChild<QPushButton*>(QStringLiteral("network.latencyRun"))->click();
  ASSERT_TRUE(test::waitUntil([&] { return !refused.latency().isRunning(); }, 30'000));
  auto* failure = refused.findChild<QWidget*>(QStringLiteral("network.latencyFailure"));
  EXPECT_FALSE(failure->isHidden());
  EXPECT_EQ(failure->findChild<ToneLabel*>()->text(),
            QStringLiteral("No connection to 127.0.0.1 on port %1 succeeded.").arg(port));
  EXPECT_TRUE(refused.findChild<QWidget*>(QStringLiteral("network.latencyFigures"))->isHidden());
}

TEST_F(NetworkPageTest, TheRealTestToThisComputerEndsWithinItsTimeLimit) {
  rig->settings->setLatencyHost(QStringLiteral("127.0.0.1"));
  NetworkPage page(*rig->model, *rig->settings);
  page.findChild<QPushButton*>(QStringLiteral("network.latencyRun"))->click();
  // Five attempts of at most 3 s, each followed by 150 ms.
  ASSERT_TRUE(test::waitUntil([&] { return !page.latency().isRunning(); }, 30'000));
  const auto& result = *page.latency().result();
  EXPECT_EQ(result.port, 443);
  EXPECT_EQ(result.attempts, 5);
  if (result.samples.empty()) {  // nothing listens on 443 here, the usual case
    EXPECT_EQ(
        page.findChild<QWidget*>(QStringLiteral("network.latencyFailure"))->findChild<ToneLabel*>()->text(),
        QStringLiteral("No connection to 127.0.0.1 on port 443 succeeded."));
  }
}

TEST_F(NetworkPageTest, APageClosedDuringATestDropsTheResult) {
  std::mutex mutex;
  std::condition_variable released;
  bool release = false;
  int measured = 0;
  auto* runner = new LatencyRunner([&](const QString& host) {
    std::unique_lock lock(mutex);
    released.wait(lock, [&] { return release; });
    ++measured;
    return LatencyResult{host, 443, {1.0}, 5};
  });
  auto* page = new NetworkPage(*rig->model, *rig->settings, runner);
  page->findChild<QPushButton*>(QStringLiteral("network.latencyRun"))->click();
  ASSERT_TRUE(page->latency().isRunning());
  delete page;  // the runner goes with it, while its thread is still measuring
  {
    const std::lock_guard lock(mutex);
    release = true;
  }
  released.notify_all();
  ASSERT_TRUE(waitForThreads());
  QCoreApplication::processEvents();  // a result posted to the gone runner must not run
  EXPECT_EQ(measured, 1);
}

TEST_F(NetworkPageTest, HostFieldFollowsTheSettingWithoutWritingBack) {
  rig->settings->setLatencyHost(QStringLiteral("1.1.1.1"));
  NetworkPage page(*rig->model, *rig->settings);
  auto* host = page.findChild<QLineEdit*>(QStringLiteral("network.latencyHost"));
  EXPECT_EQ(host->text(), QStringLiteral("1.1.1.1"));
  int writes = 0;
  QObject::connect(rig->settings.get(), &AppSettings::latencyHostChanged, [&] { ++writes; });
  rig->settings->setLatencyHost(QStringLiteral("9.9.9.9"));
  EXPECT_EQ(host->text(), QStringLiteral("9.9.9.9"));
  EXPECT_EQ(writes, 1);  // the field took the value and wrote nothing
  type(host, QStringLiteral("x"));
  EXPECT_EQ(rig->settings->latencyHost(), QStringLiteral("9.9.9.9x"));
}

TEST_F(NetworkPageTest, UpdatesInPlaceAndMasksAddresses) {
  NetworkPage page(*rig->model, *rig->settings);
  auto* grid = page.findChild<KeyedGrid*>(QStringLiteral("network.interfaces"));
  EXPECT_TRUE(grid->ids().isEmpty());  // before the first snapshot: only the title row
  feed();
  EXPECT_EQ(grid->ids(), QStringList({"lo", "eth0"}));
  QWidget* ethCell = grid->cells(QStringLiteral("eth0"))[3];
  EXPECT_EQ(static_cast<QLabel*>(ethCell)->text(), QStringLiteral("192.0.2.2\nfd00::2"));
  page.findChild<QCheckBox*>(QStringLiteral("network.showInactive"))->click();
  EXPECT_EQ(grid->ids(), QStringList({"lo", "eth0", "docker0"}));
  EXPECT_EQ(grid->cells(QStringLiteral("eth0"))[3], ethCell);  // kept, not rebuilt
  rig->settings->setPrivacyMask(true);
  EXPECT_EQ(static_cast<QLabel*>(ethCell)->text(), QStringLiteral("•••\n•••"));
  auto* wifi = page.findChild<QWidget*>(QStringLiteral("network.wifi"));
  EXPECT_EQ(wifi->findChildren<KeyValueRow*>().first()->shownValue(), QStringLiteral("-58 dBm"));
  auto* dns = page.findChild<QWidget*>(QStringLiteral("network.dns"));
  EXPECT_EQ(dns->findChildren<KeyValueRow*>()[1]->shownValue(), QStringLiteral("•••"));
  EXPECT_EQ(dns->findChildren<KeyValueRow*>()[0]->shownValue(), QStringLiteral("eth0"));
}

TEST_F(NetworkPageTest, FitsAnyWindowWithoutSidewaysScrollAndIsShotAtEachSize) {
  feed();
  const auto make = [&](QWidget* parent) {
    return new NetworkPage(*rig->model, *rig->settings, localRunner(1), parent);
  };
  // Windows of 860 and 1280 pixels, less the widest sidebar, and the page alone at 860.
  for (const QSize size : {QSize(580, 560), QSize(860, 560), QSize(1000, 860)})
    test::expectNoSidewaysScroll(make, size);
  EXPECT_EQ(test::shootPage(make, QStringLiteral("network"), QStringLiteral("sizes")).size(), 8);
}

TEST_F(NetworkPageTest, WritesThePageForALook) {
  {
    NetworkPage before(*rig->model, *rig->settings);
    EXPECT_TRUE(test::savePage(before, QStringLiteral("network"), QStringLiteral("network-empty"), false));
  }
  feed();
  for (bool dark : {false, true}) {
    NetworkPage page(*rig->model, *rig->settings, localRunner(1));
    EXPECT_TRUE(test::savePage(page, QStringLiteral("network"), QStringLiteral("network"), dark));
    EXPECT_TRUE(
        test::savePage(page, QStringLiteral("network"), QStringLiteral("network-narrow"), dark, 700, 2600));
  }
}

}  // namespace
}  // namespace kivo
