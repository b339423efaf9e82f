#include "collectors/DNSReader.h"
#include "collectors/NetworkCollector.h"
#include "collectors/WiFiReader.h"
#include "platform/ResolvConf.h"
#include "platform/RouteTable.h"
#include "platform/Wireless.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

using namespace kivo;
namespace fs = std::filesystem;

namespace {

class FakeWireless : public WirelessSource {
 public:
  explicit FakeWireless(std::optional<WirelessReading> reading) : reading_(std::move(reading)) {}
  std::optional<WirelessReading> read(int ifindex) override {
    askedFor = ifindex;
    return reading_;
  }
  int askedFor = 0;

 private:
  std::optional<WirelessReading> reading_;
};

std::string copyFixture(const QTemporaryDir& dir, const std::string& name) {
  fs::copy(test::fixture(name), dir.path().toStdString(),
           fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  return dir.path().toStdString();
}

}  // namespace

TEST(RouteTable, DecodesHexAddresses) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"0101A8C0", "192.168.1.1"},     {"0100000A", "10.0.0.1"},  {"00000000", "0.0.0.0"},
      {"FFFFFFFF", "255.255.255.255"}, {"0101A8C", std::nullopt}, {"0101A8CZ", std::nullopt},
  };
  for (const auto& [hex, text] : cases) EXPECT_EQ(RouteTable::decodeAddress(hex), text) << hex;
}

TEST(RouteTable, PicksTheUsableDefaultRouteWithTheLowestMetric) {
  const KernelFiles files(test::fixture("net-desktop"));
  // tun0's default route has the lowest metric but is not up.
  EXPECT_EQ(RouteTable::defaultRoute(*files.readText("/proc/net/route")),
            (DefaultRoute{"enp3s0", "10.0.0.1", 100}));
  EXPECT_EQ(RouteTable::defaultRoute("Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                     "wg0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n"
                                     "eth0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"),
            (DefaultRoute{"wg0", std::nullopt, 0}))
      << "a point-to-point default route has no router; the first of equal metrics wins";
  EXPECT_FALSE(
      RouteTable::defaultRoute("Iface\tDestination\n"
                               "eth0\t0000A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"));
  EXPECT_FALSE(RouteTable::defaultRoute(""));
}

TEST(ResolvConf, CommentsRepeatedSearchAndStub) {
  const ResolverFile file = ResolvConf::parse(
      "# comment\n; comment\nnameserver 1.1.1.1 # inline\nsearch a.example b.example\n"
      "nameserver\nnameserver 9.9.9.9\ndomain c.example\n");
  EXPECT_EQ(file.servers, (QStringList{"1.1.1.1", "9.9.9.9"}));
  EXPECT_EQ(file.searchDomains, (QStringList{"c.example"})) << "the last search or domain line wins";
  EXPECT_FALSE(ResolvConf::isStub(file));
  EXPECT_TRUE(ResolvConf::isStub(ResolvConf::parse("nameserver 127.0.0.53\n")));
  EXPECT_FALSE(ResolvConf::isStub(ResolvConf::parse("")));
}

TEST(DNSReader, ReadsResolvConfAndTheDefaultRoute) {
  const DNSConfiguration dns = NetworkCollector::dns(test::fixture("net-desktop"));
  EXPECT_EQ(dns.servers, (QStringList{"10.0.0.53", "2001:db8::53", "fe80::1%enp3s0"}));
  EXPECT_EQ(dns.searchDomains, (QStringList{"office.example.com", "lab.example.com"}));
  EXPECT_EQ(dns.router, "10.0.0.1");
  EXPECT_EQ(dns.primaryInterface, "enp3s0");
}

TEST(DNSReader, LooksBehindTheSystemdStub) {
  const DNSConfiguration dns = DNSReader::read(test::fixture("dns-stub"));
  EXPECT_EQ(dns.servers, (QStringList{"192.168.1.1", "2001:db8::1"}));
  EXPECT_EQ(dns.searchDomains, (QStringList{"home.arpa"}));
  EXPECT_FALSE(dns.router) << "no route table: no router, while the servers are still known";
  EXPECT_FALSE(dns.primaryInterface);

  // A stub address in a plain file, and resolved's own file missing: the stub is all there is.
  QTemporaryDir dir;
  const std::string root = copyFixture(dir, "dns-stub");
  fs::remove(root + "/etc/resolv.conf");
  fs::remove(root + "/run/systemd/resolve/resolv.conf");
  std::ofstream(root + "/etc/resolv.conf") << "nameserver 127.0.0.53\nsearch lan\n";
  const DNSConfiguration stubOnly = DNSReader::read(root);
  EXPECT_EQ(stubOnly.servers, (QStringList{"127.0.0.53"}));
  EXPECT_EQ(stubOnly.searchDomains, (QStringList{"lan"}));

  EXPECT_EQ(DNSReader::read(test::fixture("no-such-tree")), DNSConfiguration{});
}

TEST(WiFiReader, ChannelAndBandFromFrequency) {
  const std::tuple<unsigned, std::optional<int>, std::optional<QString>> cases[] = {
      {2412, 1, "2.4 GHz"},
      {2437, 6, "2.4 GHz"},
      {2484, 14, "2.4 GHz"},
      {5180, 36, "5 GHz"},
      {5825, 165, "5 GHz"},
      {5955, 1, "6 GHz"},
      {5935, 2, "6 GHz"},
      {7115, 233, "6 GHz"},
      {4920, 184, std::nullopt},
      {60480, std::nullopt, std::nullopt},
      {0, std::nullopt, std::nullopt},
  };
  for (const auto& [frequency, channel, band] : cases) {
    EXPECT_EQ(WiFiReader::channel(frequency), channel) << frequency;
    EXPECT_EQ(WiFiReader::band(frequency), band) << frequency;
  }
}

TEST(WiFiReader, PhyModeFromTheRateFlags) {
  using K = WirelessRateKind;
  EXPECT_EQ(WiFiReader::phyMode(K::eht, 2882.4, 5955), "802.11");
  EXPECT_EQ(WiFiReader::phyMode(K::he, 1200.9, 5180), "802.11ax");
  EXPECT_EQ(WiFiReader::phyMode(K::vht, 866.7, 5180), "802.11ac");
  EXPECT_EQ(WiFiReader::phyMode(K::ht, 144.4, 2437), "802.11n");
  EXPECT_EQ(WiFiReader::phyMode(K::legacy, 54.0, 2437), "802.11g");
  EXPECT_EQ(WiFiReader::phyMode(K::legacy, 5.5, 2437), "802.11b");
  EXPECT_EQ(WiFiReader::phyMode(K::legacy, 24.0, 5180), "802.11a");
  EXPECT_FALSE(WiFiReader::phyMode(K::legacy, 24.0, std::nullopt));
  EXPECT_FALSE(WiFiReader::phyMode(std::nullopt, 24.0, 5180));
}

TEST(WiFiReader, AssociatedLink) {
  FakeWireless kernel(WirelessReading{5180, WirelessStation{-52, 1200.9, WirelessRateKind::he}, -95});
  const auto link = NetworkCollector::wifi(test::fixture("net-desktop"), &kernel);
  ASSERT_TRUE(link);
  EXPECT_EQ(kernel.askedFor, 3) << "wlan0's ifindex";
  EXPECT_EQ(*link, (WiFiLink{"wlan0", true, -52, -95, 1200.9, 36, QStringLiteral("5 GHz"),
                             QStringLiteral("802.11ax")}));
}

TEST(WiFiReader, NotAssociatedLeavesSignalAndRateAbsent) {
  FakeWireless kernel(WirelessReading{});
  const auto link = WiFiReader::read(test::fixture("net-desktop"), &kernel);
  ASSERT_TRUE(link);
  EXPECT_EQ(*link, (WiFiLink{"wlan0", true, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                             std::nullopt, std::nullopt}));
}

TEST(WiFiReader, RadioSwitchedOffByRfkill) {
  QTemporaryDir dir;
  const std::string root = copyFixture(dir, "net-desktop");
  std::ofstream(root + "/sys/class/net/wlan0/phy80211/rfkill1/soft", std::ios::trunc) << "1\n";
  FakeWireless kernel(WirelessReading{});
  const auto link = WiFiReader::read(root, &kernel);
  ASSERT_TRUE(link);
  EXPECT_FALSE(link->isPoweredOn);
}

TEST(WiFiReader, FallsBackToProcNetWireless) {
  FakeWireless noNl80211(std::nullopt);
  const auto link = WiFiReader::read(test::fixture("net-desktop"), &noNl80211);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->rssi, -56);
  EXPECT_FALSE(link->noise) << "-256 means no noise figure";
  EXPECT_FALSE(link->transmitRate);
  EXPECT_FALSE(link->channel);

  EXPECT_FALSE(ProcWireless::find("wlan0: 0000 0 0 0 0 0 0 0 0 0\n", "wlan0")->signal) << "not associated";
  EXPECT_EQ(ProcWireless::find(" wlp2s0: 0000   70.  -40.  -92.  0 0 0 0 0 0\n", "wlp2s0")->noise, -92);
  EXPECT_FALSE(ProcWireless::find(" wlp2s0: 0000   70.  -40.  -92.  0 0 0 0 0 0\n", "wlan0"));
}

TEST(WiFiReader, NoWirelessInterface) {
  FakeWireless kernel(WirelessReading{});
  EXPECT_FALSE(WiFiReader::read(test::fixture("dns-stub"), &kernel));
  EXPECT_EQ(kernel.askedFor, 0);
}

TEST(Nl80211Source, AnInterfaceThatIsNotWirelessGivesNothingQuickly) {
  // Loopback (ifindex 1) is no nl80211 interface; without nl80211 at all the answer is the same.
  Nl80211Source kernel;
  EXPECT_FALSE(kernel.read(1));
  EXPECT_FALSE(kernel.read(-5));
}
