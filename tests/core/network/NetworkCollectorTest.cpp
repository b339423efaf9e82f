#include "collectors/NetworkCollector.h"
#include "collectors/NetworkMath.h"
#include "platform/NetInterfaces.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include <net/if.h>

using namespace kivo;
namespace fs = std::filesystem;

namespace {

class FixtureCopy {
 public:
  explicit FixtureCopy(const std::string& name) {
    fs::copy(test::fixture(name), dir_.path().toStdString(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  std::string root() const { return dir_.path().toStdString(); }
  void write(const std::string& relative, const std::string& text) const {
    std::ofstream(root() + relative, std::ios::trunc) << text;
  }

 private:
  QTemporaryDir dir_;
};

constexpr unsigned kUpRunning = IFF_UP | IFF_RUNNING | IFF_BROADCAST;

InterfaceAddressMap fakeAddresses() {
  return {
      {"lo", {{"127.0.0.1"}, {"::1"}, IFF_UP | IFF_RUNNING | IFF_LOOPBACK}},
      {"enp3s0", {{"10.0.0.20"}, {"fe80::aa"}, kUpRunning}},
      {"wlan0", {{"192.168.1.20", "192.168.1.21"}, {}, kUpRunning}},
      {"docker0", {{"172.17.0.1"}, {}, IFF_UP | IFF_BROADCAST}},  // up, no carrier
      {"wg0", {{"10.8.0.2"}, {}, IFF_UP | IFF_RUNNING}},
      {"eth1", {{}, {}, IFF_BROADCAST}},
  };
}

std::string devTable(std::uint64_t wlanIn, std::uint64_t enpOut, std::uint64_t wgIn) {
  return "Inter-|   Receive |  Transmit\n"
         " face |bytes    packets errs drop fifo frame compressed multicast|bytes ...\n"
         "    lo: 5000000 4000 0 0 0 0 0 0 5000000 4000 0 0 0 0 0 0\n"
         "enp3s0: 9000000000 7000000 3 0 0 0 0 1200 " +
         std::to_string(enpOut) +
         " 500000 1 0 0 0 0 0\n"
         " wlan0: " +
         std::to_string(wlanIn) +
         " 100 0 0 0 0 0 0 2000 20 0 0 0 0 0 0\n"
         "   wg0: " +
         std::to_string(wgIn) + " 400 0 0 0 0 0 0 100000 300 0 0 0 0 0 0\n";
}

const NetworkInterface* find(const NetworkSample& sample, const QString& name) {
  for (const auto& item : sample.interfaces) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

}  // namespace

TEST(NetworkMath, KindTable) {
  struct Case {
    const char* name;
    std::optional<unsigned> type;
    std::optional<std::string_view> hardware;
    InterfaceKind kind;
  };
  const Case cases[] = {
      {"wlan0", 1, "wlan", InterfaceKind::wifi},
      {"enp3s0", 1, "ethernet", InterfaceKind::ethernet},
      {"docker0", 1, "bridge", InterfaceKind::bridge},
      {"br-3fa2c1", 1, std::nullopt, InterfaceKind::bridge},
      {"veth1a2b3c", 1, std::nullopt, InterfaceKind::other},
      {"wg0", 65534, "wireguard", InterfaceKind::tunnel},
      {"tun0", 65534, "tun", InterfaceKind::tunnel},
      {"vpn0", 65534, std::nullopt, InterfaceKind::tunnel},
      {"ppp0", 512, std::nullopt, InterfaceKind::tunnel},
      {"lo", 772, std::nullopt, InterfaceKind::loopback},
      {"lo", 772, "ethernet", InterfaceKind::loopback},
      {"wwan0", 519, "wwan", InterfaceKind::cellular},
      {"wwan0", std::nullopt, std::nullopt, InterfaceKind::cellular},
      {"enp3s0.100", 1, "vlan", InterfaceKind::other},
      {"bond0", 1, "bond", InterfaceKind::other},
      {"dummy0", 1, std::nullopt, InterfaceKind::other},
      {"eth0", 1, std::nullopt, InterfaceKind::ethernet},  // a container's uplink
      {"wlp2s0", std::nullopt, std::nullopt, InterfaceKind::wifi},
      {"mystery0", 1, "something-new", InterfaceKind::other},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NetworkMath::kind(c.name, c.type, c.hardware), c.kind) << c.name;
  }
}

TEST(NetworkMath, RatesFollowTheCounterWidth) {
  const InterfaceCounters before{1000, 5000, 0, 0, 0, 0};
  InterfaceCounters after{1000 + 2'000'000, 4000, 0, 0, 0, 0};
  EXPECT_EQ(NetworkMath::rates(before, after, 2.0, 64), (NetworkMath::Rates{1'000'000.0, std::nullopt}));
  EXPECT_EQ(NetworkMath::rates(before, after, 0.0, 64), NetworkMath::Rates{});
  // A 32-bit counter high in its range that went down wrapped.
  const InterfaceCounters high{0xFFFFFF00u, 0, 0, 0, 0, 0};
  const InterfaceCounters wrapped{0x100u, 0, 0, 0, 0, 0};
  EXPECT_EQ(NetworkMath::rates(high, wrapped, 1.0, 32).down, 512.0);
  EXPECT_FALSE(NetworkMath::rates(high, wrapped, 1.0, 64).down);
}

TEST(NetDev, ParsesLinesAndSkipsHeaders) {
  NetDevLine line;
  EXPECT_FALSE(NetDev::parseLine("Inter-|   Receive |  Transmit", line));
  EXPECT_FALSE(
      NetDev::parseLine(" face |bytes    packets errs drop fifo frame compressed multicast|bytes", line));
  EXPECT_FALSE(NetDev::parseLine("eth0: 1 2 3", line)) << "too few fields";
  ASSERT_TRUE(
      NetDev::parseLine("veth1a2b3c: 18446744073709551615 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", line));
  EXPECT_EQ(line.name, "veth1a2b3c");
  EXPECT_EQ(line.bytesIn, UINT64_MAX) << "64-bit counters";
  EXPECT_EQ(line.packetsIn, 1u);
  EXPECT_EQ(line.errorsIn, 2u);
  EXPECT_EQ(line.bytesOut, 8u);
  EXPECT_EQ(line.packetsOut, 9u);
  EXPECT_EQ(line.errorsOut, 10u);
}

TEST(NetSysfs, OnlyA32BitSpeedIsASpeed) {
  const FixtureCopy tree("net-desktop");
  const NetSysfs sysfs(tree.root());
  const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
      {"2500\n", 2'500'000'000u},
      {"2147483647\n", 2'147'483'647'000'000u},
      {"-1\n", std::nullopt},
      {"0\n", std::nullopt},
      {"4294967295\n", std::nullopt},         // the unknown marker, written unsigned
      {"99999999999999999\n", std::nullopt},  // would wrap as bits per second
  };
  for (const auto& [text, speed] : cases) {
    tree.write("/sys/class/net/enp3s0/speed", text);
    EXPECT_EQ(sysfs.attributes("enp3s0").speed, speed) << text;
  }
}

TEST(NetworkCollector, ListsEveryInterfaceWithItsKindAndLink) {
  NetworkCollector collector({test::fixture("net-desktop"), fakeAddresses});
  const NetworkSample sample = collector.sample(10.0);
  std::vector<QString> names;
  std::vector<InterfaceKind> kinds;
  for (const auto& item : sample.interfaces) {
    names.push_back(item.name);
    kinds.push_back(item.kind);
  }
  EXPECT_EQ(names, (std::vector<QString>{"lo", "enp3s0", "wlan0", "docker0", "veth1a2b3c", "wg0", "tun0",
                                         "wwan0", "enp3s0.100", "eth1"}));
  using K = InterfaceKind;
  EXPECT_EQ(kinds, (std::vector<K>{K::loopback, K::ethernet, K::wifi, K::bridge, K::other, K::tunnel,
                                   K::tunnel, K::cellular, K::other, K::ethernet}));
  EXPECT_EQ(sample.primaryInterface, "enp3s0") << "the default route with the lowest metric";
  EXPECT_FALSE(sample.downRate);
  EXPECT_FALSE(sample.upRate);

  const NetworkInterface* enp = find(sample, "enp3s0");
  ASSERT_TRUE(enp);
  EXPECT_EQ(enp->linkSpeed, 1'000'000'000u);
  EXPECT_EQ(enp->mtu, 1500);
  EXPECT_EQ(enp->totalBytesIn, 9'000'000'000u);
  EXPECT_EQ(enp->errorsIn, 3u);
  EXPECT_EQ(enp->errorsOut, 1u);
  EXPECT_FALSE(enp->displayName);
  EXPECT_TRUE(enp->isActive());
  EXPECT_FALSE(enp->downRate);

  const NetworkInterface* wlan = find(sample, "wlan0");
  EXPECT_FALSE(wlan->linkSpeed) << "a speed of -1 is unknown, not 0";
  EXPECT_EQ(wlan->ipv4, (QStringList{"192.168.1.20", "192.168.1.21"}));
  EXPECT_EQ(find(sample, "veth1a2b3c")->linkSpeed, 10'000'000'000u);
  EXPECT_FALSE(find(sample, "wg0")->linkSpeed) << "no speed file";
  EXPECT_EQ(find(sample, "lo")->mtu, 65536);

  const NetworkInterface* docker = find(sample, "docker0");
  EXPECT_TRUE(docker->isUp);
  EXPECT_FALSE(docker->isRunning);
  EXPECT_FALSE(docker->isActive()) << "up with an address but no carrier";
  EXPECT_FALSE(find(sample, "eth1")->isUp);
  const NetworkInterface* tun = find(sample, "tun0");
  EXPECT_TRUE(tun->ipv4.isEmpty());
  EXPECT_FALSE(tun->isActive());
}

TEST(NetworkCollector, FallsBackToSysfsFlagsWithoutLinkEntries) {
  NetworkCollector collector({test::fixture("net-desktop"), [] { return InterfaceAddressMap{}; }});
  const NetworkSample sample = collector.sample(1.0);
  const auto* lo = find(sample, "lo");
  const auto* enp = find(sample, "enp3s0");
  const auto* eth1 = find(sample, "eth1");
  ASSERT_TRUE(lo && enp && eth1);
  EXPECT_TRUE(lo->isUp && lo->isRunning) << "operstate unknown counts as running, as for loopback";
  EXPECT_TRUE(enp->isUp && enp->isRunning);
  EXPECT_FALSE(eth1->isUp || eth1->isRunning);
  EXPECT_TRUE(enp->ipv4.isEmpty());
  EXPECT_FALSE(enp->isActive());
}

TEST(NetworkCollector, RatesCountOnlyTheMachinesOwnLinks) {
  FixtureCopy tree("net-desktop");
  tree.write("/proc/net/dev", devTable(123'456'789, 800'000'000, 300'000));
  NetworkCollector collector({tree.root(), fakeAddresses});
  collector.sample(100.0);

  // Two seconds later: wlan0 and wg0 each received 2,000,000 bytes; enp3s0's sent counter went down.
  tree.write("/proc/net/dev", devTable(125'456'789, 700'000'000, 2'300'000));
  const NetworkSample sample = collector.sample(102.0);
  EXPECT_EQ(find(sample, "wlan0")->downRate, 1'000'000.0);
  EXPECT_EQ(find(sample, "wg0")->downRate, 1'000'000.0) << "a tunnel keeps its own rate";
  EXPECT_EQ(find(sample, "enp3s0")->downRate, 0.0);
  EXPECT_FALSE(find(sample, "enp3s0")->upRate) << "a counter that went down";
  EXPECT_EQ(find(sample, "lo")->downRate, 0.0);
  EXPECT_EQ(sample.downRate, 1'000'000.0) << "Wi-Fi and Ethernet only; not the tunnel or loopback";
  EXPECT_EQ(sample.upRate, 0.0) << "wlan0's 0 counts, enp3s0's absent rate does not";

  EXPECT_FALSE(collector.sample(102.0).downRate) << "no time has passed";
  collector.reset();
  const NetworkSample afterReset = collector.sample(110.0);
  EXPECT_FALSE(afterReset.downRate);
  EXPECT_FALSE(find(afterReset, "wlan0")->downRate);
}

TEST(NetworkCollector, OnlyTunnelTrafficLeavesTheTotalsAbsent) {
  FixtureCopy tree("net-desktop");
  tree.write("/proc/net/dev", "   wg0: 300000 400 0 0 0 0 0 0 100000 300 0 0 0 0 0 0\n");
  NetworkCollector collector({tree.root(), fakeAddresses});
  collector.sample(1.0);
  tree.write("/proc/net/dev", "   wg0: 500000 400 0 0 0 0 0 0 100000 300 0 0 0 0 0 0\n");
  const NetworkSample sample = collector.sample(2.0);
  EXPECT_EQ(find(sample, "wg0")->downRate, 200000.0);
  EXPECT_FALSE(sample.downRate);
  EXPECT_FALSE(sample.upRate);
}

TEST(NetworkCollector, ANewInterfaceIsClassifiedAtOnceAndHasNoRateYet) {
  FixtureCopy tree("net-desktop");
  tree.write("/proc/net/dev", devTable(1000, 1000, 1000));
  NetworkCollector collector({tree.root(), fakeAddresses});
  collector.sample(1.0);

  fs::create_directories(tree.root() + "/sys/class/net/wlan1/wireless");
  tree.write("/sys/class/net/wlan1/type", "1\n");
  tree.write("/proc/net/dev", devTable(2000, 1000, 1000) + " wlan1: 5000 5 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
  NetworkSample sample = collector.sample(2.0);
  ASSERT_TRUE(find(sample, "wlan1"));
  EXPECT_EQ(find(sample, "wlan1")->kind, InterfaceKind::wifi);
  EXPECT_FALSE(find(sample, "wlan1")->downRate);
  EXPECT_EQ(sample.downRate, 1000.0);

  tree.write("/proc/net/dev", devTable(2000, 1000, 1000) + " wlan1: 6000 5 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
  sample = collector.sample(3.0);
  EXPECT_EQ(find(sample, "wlan1")->downRate, 1000.0);
}

TEST(NetworkCollector, NoInterfaceTableGivesAnEmptySample) {
  NetworkCollector collector({test::fixture("no-such-tree"), [] { return InterfaceAddressMap{}; }});
  EXPECT_EQ(collector.sample(1.0), NetworkSample{});
  EXPECT_EQ(collector.sample(2.0), NetworkSample{});
}

TEST(NetworkCollector, ReadsTheLiveMachine) {
  NetworkCollector collector;
  collector.sample(1.0);
  const NetworkSample sample = collector.sample(2.0);
  const NetworkInterface* lo = find(sample, "lo");
  ASSERT_TRUE(lo);
  EXPECT_EQ(lo->kind, InterfaceKind::loopback);
  EXPECT_TRUE(lo->isUp);
  EXPECT_TRUE(lo->ipv4.contains("127.0.0.1"));
  EXPECT_TRUE(lo->downRate);
  for (const auto& item : sample.interfaces) {
    for (const auto& address : item.ipv6) EXPECT_FALSE(address.contains('%')) << address.toStdString();
  }
}

// Addresses come from a netlink dump that costs far more than the counters: they are read
// again only when the interfaces change or the engine says the slow readings are due.
TEST(NetworkCollector, ReadsAddressesAgainOnlyWhenTheyMayHaveChanged) {
  int reads = 0;
  NetworkCollector collector({test::fixture("net-desktop"), [&reads] {
                                ++reads;
                                return fakeAddresses();
                              }});
  collector.sample(1.0);
  collector.sample(3.0);
  EXPECT_EQ(reads, 1);
  collector.invalidateAddresses();
  const NetworkSample sample = collector.sample(5.0);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(find(sample, "wlan0")->ipv4, (QStringList{"192.168.1.20", "192.168.1.21"}))
      << "kept between reads";
}
