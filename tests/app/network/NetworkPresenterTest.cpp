#include "features/network/NetworkPresenter.h"

#include "NetworkTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace kivo {
namespace {

using test::interface;

TelemetrySnapshot withInterfaces(std::vector<NetworkInterface> interfaces) {
  TelemetrySnapshot snapshot = test::snapshotAt(0);
  snapshot.network = NetworkSample{std::move(interfaces), std::nullopt, std::nullopt, std::nullopt};
  return snapshot;
}

TEST(NetworkPresenter, WiFiCardShowsRowsOnlyForALinkWithASignal) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  WiFiLink full;
  full.isPoweredOn = true;
  full.rssi = -52;
  full.noise = -90;
  full.transmitRate = 866.7;
  full.channel = 36;
  full.band = QStringLiteral("5 GHz");
  full.phyMode = QStringLiteral("802.11ac");
  WiFiLink bare = full;  // no noise survey, no channel details
  bare.noise.reset();
  bare.channel.reset();
  bare.band.reset();
  bare.phyMode.reset();
  WiFiLink off = full;
  off.isPoweredOn = false;
  WiFiLink zero = full;
  zero.rssi = 0;
  WiFiLink unassociated = full;
  unassociated.rssi.reset();

  struct Case {
    const char* name;
    std::optional<WiFiLink> link;
    bool looked;
    QString message;
  };
  for (const Case& c :
       {Case{"before the first look", std::nullopt, false,
             QStringLiteral("Not connected to a Wi-Fi network.")},
        Case{"no wireless interface", std::nullopt, true,
             QStringLiteral("This computer has no Wi-Fi adapter.")},
        Case{"off", off, true, QStringLiteral("Wi-Fi is off.")},
        Case{"rssi 0", zero, true, QStringLiteral("Not connected to a Wi-Fi network.")},
        Case{"no rssi", unassociated, true, QStringLiteral("Not connected to a Wi-Fi network.")}}) {
    SCOPED_TRACE(c.name);
    const auto card = NetworkPresenter::wifiCard(c.link, c.looked, format);
    EXPECT_TRUE(card.rows.empty());
    EXPECT_EQ(card.message, c.message);
  }

  const auto rows = NetworkPresenter::wifiCard(full, true, format).rows;
  const std::vector<NetworkPresenter::Row> expected{{"Signal (RSSI)", "-52 dBm"},
                                                    {"Noise", "-90 dBm"},
                                                    {"Signal-to-noise", "38 dB"},
                                                    {"Link rate", "867 Mbit/s"},
                                                    {"Channel", "36 · 5 GHz · 802.11ac"}};
  EXPECT_EQ(rows, expected);
  // Absent figures read "—", never 0; no channel details leave the value empty.
  const auto bareRows = NetworkPresenter::wifiCard(bare, true, format).rows;
  ASSERT_EQ(bareRows.size(), 5U);
  EXPECT_EQ(bareRows[1].value, QStringLiteral("—"));
  EXPECT_EQ(bareRows[2].value, QStringLiteral("—"));
  EXPECT_EQ(bareRows[4].value, QString());
}

TEST(NetworkPresenter, SubtitleNamesThePrimaryInterfaceOnlyWhenTheSampleHasIt) {
  DNSConfiguration dns;
  dns.primaryInterface = QStringLiteral("eth0");
  const auto snapshot =
      withInterfaces({interface("lo", InterfaceKind::loopback, true, true, {"127.0.0.1"}),
                      interface("eth0", InterfaceKind::ethernet, true, true, {"192.0.2.2", "192.0.2.3"})});
  EXPECT_EQ(NetworkPresenter::primarySubtitle(&snapshot, dns, false), QStringLiteral("eth0 · 192.0.2.2"));
  EXPECT_EQ(NetworkPresenter::primarySubtitle(&snapshot, dns, true), QStringLiteral("eth0 · •••"));
  EXPECT_EQ(NetworkPresenter::primarySubtitle(nullptr, dns, false), QStringLiteral("No active connection"));
  const auto v6only =
      withInterfaces({interface("eth0", InterfaceKind::ethernet, true, true, {}, {"fd00::2"})});
  EXPECT_EQ(NetworkPresenter::primarySubtitle(&v6only, dns, false), QStringLiteral("eth0 · —"));
  dns.primaryInterface = QStringLiteral("wlan0");
  EXPECT_EQ(NetworkPresenter::primarySubtitle(&snapshot, dns, false), QStringLiteral("No active connection"));
  dns.primaryInterface.reset();
  EXPECT_EQ(NetworkPresenter::primarySubtitle(&snapshot, dns, false), QStringLiteral("No active connection"));
}

TEST(NetworkPresenter, PrivacyMaskHidesAddressesRouterServersAndDomainsButNotNames) {
  DNSConfiguration dns;
  dns.primaryInterface = QStringLiteral("eth0");
  dns.router = QStringLiteral("192.0.2.1");
  dns.servers = {QStringLiteral("192.0.2.53"), QStringLiteral("2001:db8::53")};
  dns.searchDomains = {QStringLiteral("corp.example")};
  const std::vector<NetworkPresenter::Row> open{{"Primary interface", "eth0"},
                                                {"Router", "192.0.2.1"},
                                                {"DNS servers", "192.0.2.53, 2001:db8::53"},
                                                {"Search domains", "corp.example"}};
  EXPECT_EQ(NetworkPresenter::dnsRows(dns, false), open);
  const std::vector<NetworkPresenter::Row> hidden{{"Primary interface", "eth0"},
                                                  {"Router", "•••"},
                                                  {"DNS servers", "•••, •••"},
                                                  {"Search domains", "•••"}};
  EXPECT_EQ(NetworkPresenter::dnsRows(dns, true), hidden);
  const std::vector<NetworkPresenter::Row> empty{
      {"Primary interface", "—"}, {"Router", "—"}, {"DNS servers", "—"}, {"Search domains", "—"}};
  EXPECT_EQ(NetworkPresenter::dnsRows({}, true), empty);

  const ValueFormatter format;
  const auto snapshot = withInterfaces(
      {interface("eth0", InterfaceKind::ethernet, true, true, {"192.0.2.2", "192.0.2.3"}, {"fd00::2"}),
       interface("wg0", InterfaceKind::tunnel, true, true, {"10.0.0.2", "10.0.0.3"},
                 {"fd01::2", "fd01::3"})});
  const auto rows = NetworkPresenter::interfaceRows(&snapshot, false, true, format);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].title, QStringLiteral("eth0"));
  EXPECT_EQ(rows[0].addresses, QStringLiteral("•••\n•••\n•••"));
  EXPECT_EQ(rows[1].addresses.count(QLatin1Char('\n')), 2);  // four addresses, three lines
  const auto openRows = NetworkPresenter::interfaceRows(&snapshot, false, false, format);
  EXPECT_EQ(openRows[0].addresses, QStringLiteral("192.0.2.2\n192.0.2.3\nfd00::2"));
}

TEST(NetworkPresenter, InactiveInterfacesOnlyWithTheSwitchInTheCollectorsOrder) {
  const ValueFormatter format(QLocale(QLocale::English, QLocale::UnitedStates));
  auto eth = interface("eth0", InterfaceKind::ethernet, true, true, {"192.0.2.2"});
  eth.downRate = 1500;
  eth.totalBytesIn = 2'000'000;
  eth.errorsIn = 3;
  eth.errorsOut = 4;
  auto named = interface("br0", InterfaceKind::bridge, true, true, {"192.0.2.9"});
  named.displayName = QStringLiteral("Bridge port");
  const auto snapshot = withInterfaces({interface("lo", InterfaceKind::loopback, false, false, {}),
                                        interface("wlan0", InterfaceKind::wifi, true, true, {}), eth, named});
  const auto active = NetworkPresenter::interfaceRows(&snapshot, false, false, format);
  ASSERT_EQ(active.size(), 2U);
  EXPECT_EQ(active[0].id, QStringLiteral("eth0"));
  EXPECT_EQ(active[0].status, QStringLiteral("Active"));
  EXPECT_EQ(active[0].statusTone, NetworkPresenter::StatusTone::success);
  EXPECT_EQ(active[0].down, format.rate(1500));
  EXPECT_EQ(active[0].up, QStringLiteral("—"));
  EXPECT_EQ(active[0].received, format.bytes(2'000'000.0, false));
  EXPECT_EQ(active[0].errors, QStringLiteral("7"));
  EXPECT_EQ(active[1].title, QStringLiteral("Bridge port"));
  EXPECT_EQ(active[1].subtitle, QStringLiteral("br0"));

  const auto all = NetworkPresenter::interfaceRows(&snapshot, true, false, format);
  ASSERT_EQ(all.size(), 4U);
  EXPECT_EQ(all[0].status, QStringLiteral("Down"));
  EXPECT_EQ(all[0].kind, QStringLiteral("Loopback"));
  EXPECT_EQ(all[0].addresses, QStringLiteral("—"));
  EXPECT_EQ(all[1].status, QStringLiteral("Up, no address"));
  EXPECT_EQ(all[1].statusTone, NetworkPresenter::StatusTone::secondary);
  EXPECT_TRUE(NetworkPresenter::interfaceRows(nullptr, true, false, format).empty());
}

TEST(NetworkPresenter, ErrorCountsSaturateInsteadOfWrapping) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(NetworkPresenter::errorTotal(3, 4), 7U);
  EXPECT_EQ(NetworkPresenter::errorTotal(kMax, 1), kMax);
  EXPECT_EQ(NetworkPresenter::errorTotal(kMax - 1, kMax - 1), kMax);
}

TEST(NetworkPresenter, ChangesShowTheNewestEightWithTheirInterfaces) {
  QList<StoredEvent> events;
  for (int i = 0; i < 12; ++i) {
    StoredEvent event;
    event.kind = EventKind::network;
    event.date = QDateTime::fromSecsSinceEpoch(1'700'000'000 - i * 60, QTimeZone::utc());
    event.code = i % 2 == 0 ? QStringLiteral("network.online") : QStringLiteral("network.offline");
    if (i != 1) event.payload.insert(QStringLiteral("interfaces"), QStringLiteral("eth0, wlan0"));
    events.append(event);
  }
  const auto lines = NetworkPresenter::changeLines(events);
  ASSERT_EQ(lines.size(), 8U);
  EXPECT_TRUE(lines[0].online);
  EXPECT_EQ(lines[0].title, QStringLiteral("Connected"));
  EXPECT_EQ(lines[0].interfaces, QStringLiteral("eth0, wlan0"));
  EXPECT_FALSE(lines[1].online);
  EXPECT_EQ(lines[1].title, QStringLiteral("Disconnected"));
  EXPECT_EQ(lines[1].interfaces, QString());
  EXPECT_FALSE(lines[0].time.isEmpty());
  EXPECT_TRUE(NetworkPresenter::changeLines({}).empty());
}

TEST(NetworkPresenter, ChangeLinesSayWhatHappenedToWhichInterface) {
  const struct {
    const char* code;
    QMap<QString, QString> payload;
    const char* title;
    const char* interfaces;
    const char* symbol;
    bool warning;
  } cases[] = {
      {"network.online",
       {{"change", "added"},
        {"interface", "kivo0"},
        {"interfaceKind", "other"},
        {"interfaces", "eth0,kivo0"}},
       "Interface added",
       "kivo0",
       "network",
       false},
      {"network.online",
       {{"change", "removed"}, {"interface", "eth0"}, {"interfaceKind", "ethernet"}, {"interfaces", "wlan0"}},
       "Interface removed",
       "eth0",
       "cable.connector.slash",
       true},
      {"network.offline",
       {{"change", "linkDown"}, {"interface", "wlp2s0"}, {"interfaceKind", "wifi"}, {"interfaces", ""}},
       "Link down",
       "wlp2s0",
       "wifi.slash",
       true},
      {"network.online",
       {{"change", "linkUp"},
        {"interface", "enp3s0"},
        {"interfaceKind", "ethernet"},
        {"interfaces", "enp3s0"}},
       "Link up",
       "enp3s0",
       "cable.connector",
       false},
      {"network.online",
       {{"change", "linkUp"}, {"interface", "wlan0"}, {"interfaceKind", "wifi"}, {"interfaces", "wlan0"}},
       "Link up",
       "wlan0",
       "wifi",
       false},
      // Only the path moved, or an event from before links were told apart.
      {"network.online",
       {{"interfaces", "eth0,kivo1,kivo0"}},
       "Connected",
       "eth0, kivo1, kivo0",
       "network",
       false},
      {"network.offline", {{"interfaces", ""}}, "Disconnected", "", "network", true},
  };
  for (const auto& c : cases) {
    StoredEvent event;
    event.kind = EventKind::network;
    event.date = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
    event.code = QString::fromLatin1(c.code);
    event.payload = c.payload;
    const auto lines = NetworkPresenter::changeLines({event});
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0].title, QString::fromLatin1(c.title));
    EXPECT_EQ(lines[0].interfaces, QString::fromLatin1(c.interfaces)) << c.title;
    EXPECT_EQ(lines[0].symbol, QString::fromLatin1(c.symbol)) << c.title;
    EXPECT_EQ(lines[0].warning, c.warning) << c.title;
  }
}

TEST(NetworkPresenter, KindNames) {
  const std::vector<std::pair<InterfaceKind, QString>> cases{
      {InterfaceKind::wifi, "Wi-Fi"},        {InterfaceKind::ethernet, "Ethernet"},
      {InterfaceKind::cellular, "Cellular"}, {InterfaceKind::tunnel, "VPN / tunnel"},
      {InterfaceKind::bridge, "Bridge"},     {InterfaceKind::loopback, "Loopback"},
      {InterfaceKind::other, "Other"}};
  for (const auto& [kind, text] : cases) EXPECT_EQ(NetworkPresenter::kindName(kind), text);
}

}  // namespace
}  // namespace kivo
