#include "desktop/NetworkPath.h"
#include "desktop/NetworkPathMonitor.h"
#include "platform/RtnetlinkParser.h"

#include "TestSupport.h"

#include <QDBusConnection>

#include <gtest/gtest.h>

#include <linux/if_addr.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

namespace kivo {
namespace {

constexpr unsigned kUp = IFF_UP | IFF_RUNNING;

// Builds rtnetlink messages as the kernel lays them out.
class Messages {
 public:
  // type: ARPHRD_*; kind: a virtual link's IFLA_INFO_KIND ("veth"), none when empty.
  Messages& link(int index, const std::string& name, unsigned flags, unsigned short type = ARPHRD_ETHER,
                 const std::string& kind = {}) {
    ifinfomsg info{};
    info.ifi_family = AF_UNSPEC;
    info.ifi_index = index;
    info.ifi_flags = flags;
    info.ifi_type = type;
    std::vector<unsigned char> body = raw(info);
    attribute(body, IFLA_IFNAME, name.c_str(), name.size() + 1);
    if (!kind.empty()) {
      std::vector<unsigned char> nested;
      attribute(nested, IFLA_INFO_KIND, kind.c_str(), kind.size() + 1);
      attribute(body, IFLA_LINKINFO, nested.data(), nested.size());
    }
    return message(RTM_NEWLINK, body);
  }
  Messages& address(int index, int family, unsigned char scope, std::uint32_t flags = 0) {
    ifaddrmsg info{};
    info.ifa_family = static_cast<unsigned char>(family);
    info.ifa_prefixlen = family == AF_INET ? 24 : 64;
    info.ifa_scope = scope;
    info.ifa_index = static_cast<unsigned>(index);
    std::vector<unsigned char> body = raw(info);
    const unsigned char address[16] = {10, 0, 0, 2};
    attribute(body, IFA_ADDRESS, address, family == AF_INET ? 4 : 16);
    attribute(body, IFA_FLAGS, &flags, sizeof flags);
    return message(RTM_NEWADDR, body);
  }
  struct Route {
    int family = AF_INET;
    unsigned char dstLen = 0;
    unsigned char type = RTN_UNICAST;
    std::uint32_t table = RT_TABLE_MAIN;
    int oif = 0;
    std::vector<std::pair<int, unsigned char>> hops = {};  // ifindex, flags
    bool nexthopObject = false;
  };
  Messages& route(const Route& r) {
    rtmsg info{};
    info.rtm_family = static_cast<unsigned char>(r.family);
    info.rtm_dst_len = r.dstLen;
    info.rtm_type = r.type;
    info.rtm_table = static_cast<unsigned char>(r.table < 256 ? r.table : RT_TABLE_UNSPEC);
    std::vector<unsigned char> body = raw(info);
    attribute(body, RTA_TABLE, &r.table, sizeof r.table);
    if (r.oif) {
      const std::uint32_t oif = static_cast<std::uint32_t>(r.oif);
      attribute(body, RTA_OIF, &oif, sizeof oif);
    }
    if (r.nexthopObject) {
      const std::uint32_t id = 7;
      attribute(body, RTA_NH_ID, &id, sizeof id);
    }
    if (!r.hops.empty()) {
      std::vector<unsigned char> hops;
      for (const auto& [index, flags] : r.hops) {
        rtnexthop hop{};
        hop.rtnh_len = sizeof(rtnexthop);
        hop.rtnh_flags = flags;
        hop.rtnh_ifindex = index;
        const auto bytes = raw(hop);
        hops.insert(hops.end(), bytes.begin(), bytes.end());
      }
      attribute(body, RTA_MULTIPATH, hops.data(), hops.size());
    }
    return message(RTM_NEWROUTE, body);
  }
  Messages& done() { return message(NLMSG_DONE, raw(0)); }
  Messages& error(int code) {
    nlmsgerr error{};
    error.error = code;
    return message(NLMSG_ERROR, raw(error));
  }
  Messages& other() { return message(RTM_NEWNEIGH, std::vector<unsigned char>(12, 0)); }

  std::vector<unsigned char> bytes;
  std::vector<std::size_t> ends;  // where each message stops

 private:
  template <typename T>
  static std::vector<unsigned char> raw(const T& value) {
    std::vector<unsigned char> out(sizeof(T));
    std::memcpy(out.data(), &value, sizeof(T));
    return out;
  }
  static void pad(std::vector<unsigned char>& out) {
    while (out.size() % 4) out.push_back(0);
  }
  static void attribute(std::vector<unsigned char>& out, unsigned short type, const void* data,
                        std::size_t size) {
    pad(out);
    rtattr attr{};
    attr.rta_type = type;
    attr.rta_len = static_cast<unsigned short>(sizeof(rtattr) + size);
    const auto header = raw(attr);
    out.insert(out.end(), header.begin(), header.end());
    const auto* p = static_cast<const unsigned char*>(data);
    out.insert(out.end(), p, p + size);
  }
  Messages& message(unsigned short type, const std::vector<unsigned char>& body) {
    pad(bytes);
    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(NLMSG_HDRLEN + body.size());
    header.nlmsg_type = type;
    header.nlmsg_flags = NLM_F_MULTI;
    const auto head = raw(header);
    bytes.insert(bytes.end(), head.begin(), head.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    ends.push_back(bytes.size());
    return *this;
  }
};

NetworkPath pathOf(const Messages& messages, bool expensive = false) {
  RtnetlinkState state;
  const auto result = RtnetlinkParser::parse(messages.bytes.data(), messages.bytes.size(), state);
  EXPECT_FALSE(result.malformed);
  return NetworkPath::fromState(state, expensive);
}

// A laptop: loopback, an unplugged cable, Wi-Fi with an address, a bridge without carrier.
Messages laptop() {
  Messages m;
  m.link(1, "lo", kUp | IFF_LOOPBACK).address(1, AF_INET, RT_SCOPE_HOST);
  m.link(2, "eth0", IFF_UP);
  m.link(3, "wlan0", kUp).address(3, AF_INET, RT_SCOPE_UNIVERSE).address(3, AF_INET6, RT_SCOPE_LINK);
  m.link(4, "docker0", IFF_UP).address(4, AF_INET, RT_SCOPE_UNIVERSE);
  m.route({.family = AF_INET, .dstLen = 8, .table = RT_TABLE_LOCAL, .oif = 1});
  m.route({.family = AF_INET, .dstLen = 24, .oif = 3});
  return m;
}

TEST(NetworkPathTest, OnlineWhenADefaultRouteLeavesThroughAnUpInterface) {
  struct Case {
    const char* name;
    Messages::Route route;
    bool online;
  };
  const Case cases[] = {
      {"IPv4 default via Wi-Fi", {.family = AF_INET, .oif = 3}, true},
      {"IPv6-only default", {.family = AF_INET6, .oif = 3}, true},
      {"default via an unplugged cable", {.family = AF_INET, .oif = 2}, false},
      {"default via loopback", {.family = AF_INET, .oif = 1}, false},
      {"default via a bridge without carrier", {.family = AF_INET, .oif = 4}, false},
      {"unreachable default", {.family = AF_INET, .type = RTN_UNREACHABLE, .oif = 3}, false},
      {"default in the local table", {.family = AF_INET, .table = RT_TABLE_LOCAL, .oif = 3}, false},
      {"default in a policy table", {.family = AF_INET, .table = 51820, .oif = 3}, true},
      {"multipath with one live hop", {.family = AF_INET, .hops = {{2, 0}, {3, 0}}}, true},
      {"multipath whose up hop is dead", {.family = AF_INET, .hops = {{2, 0}, {3, RTNH_F_DEAD}}}, false},
      {"default through a nexthop object", {.family = AF_INET, .nexthopObject = true}, true},
  };
  for (const Case& c : cases) {
    Messages m = laptop();
    m.route(c.route).done();
    const NetworkPath path = pathOf(m);
    EXPECT_EQ(path.online, c.online) << c.name;
    EXPECT_EQ(path.interfaces, QStringList{"wlan0"}) << c.name;
  }
  EXPECT_FALSE(pathOf(laptop()).online);  // no default route at all
}

TEST(NetworkPathTest, InterfacesAreUpNonLoopbackWithARoutableAddressInIndexOrder) {
  Messages m;
  // Listed out of order: the path lists them by index.
  m.link(7, "wwan0", kUp).address(7, AF_INET6, RT_SCOPE_UNIVERSE);
  m.link(3, "wlan0", kUp).address(3, AF_INET, RT_SCOPE_UNIVERSE);
  m.link(5, "veth-ll", kUp).address(5, AF_INET6, RT_SCOPE_LINK);  // link-local only
  m.link(6, "tentative", kUp).address(6, AF_INET6, RT_SCOPE_UNIVERSE, IFA_F_DADFAILED);
  m.link(8, "down", IFF_UP).address(8, AF_INET, RT_SCOPE_UNIVERSE);
  m.link(9, "site", kUp).address(9, AF_INET6, RT_SCOPE_SITE);
  m.link(1, "lo", kUp | IFF_LOOPBACK).address(1, AF_INET, RT_SCOPE_UNIVERSE);
  m.route({.family = AF_INET6, .oif = 7}).done();
  const NetworkPath path = pathOf(m, true);
  EXPECT_EQ(path.interfaces, (QStringList{"wlan0", "wwan0", "site"}));
  EXPECT_TRUE(path.online);
  EXPECT_EQ(path.key(), "online|wlan0,wwan0,site|true|false");
  EXPECT_EQ(NetworkPath{}.key(), "offline||false|false");

  const QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
  const StoredEvent online = path.event(now);
  EXPECT_EQ(online.id, 0);
  EXPECT_EQ(online.date, now);
  EXPECT_EQ(online.kind, EventKind::network);
  EXPECT_EQ(online.severity, Severity::info);
  EXPECT_FALSE(online.metric.has_value());
  EXPECT_EQ(online.code, "network.online");
  EXPECT_EQ(online.payload, (QMap<QString, QString>{{"interfaces", "wlan0,wwan0,site"}}));
  const StoredEvent offline = NetworkPath{}.event(now);
  EXPECT_EQ(offline.severity, Severity::warning);
  EXPECT_EQ(offline.code, "network.offline");
  EXPECT_EQ(offline.payload.value("interfaces"), "");
  EXPECT_TRUE(offline.payload.contains("interfaces"));
}

// A desktop: a cable with the default route and Wi-Fi, both addressed; `extra` adds to it.
NetworkPath desktopWith(const std::function<void(Messages&)>& extra = {}, unsigned cable = kUp) {
  Messages m;
  m.link(1, "lo", kUp | IFF_LOOPBACK, ARPHRD_LOOPBACK).address(1, AF_INET, RT_SCOPE_HOST);
  m.link(2, "enp3s0", cable).address(2, AF_INET, RT_SCOPE_UNIVERSE);
  m.link(3, "wlp2s0", kUp).address(3, AF_INET, RT_SCOPE_UNIVERSE);
  if (extra) extra(m);
  m.route({.family = AF_INET, .oif = 2}).done();
  return pathOf(m);
}

TEST(NetworkPathTest, ChangesNameEachLinkThatCameWentOrLostItsCarrierWithItsKind) {
  using K = NetworkChange::Kind;
  const auto vethPair = [](Messages& m) {
    m.link(7, "kivo0", kUp, ARPHRD_ETHER, "veth").address(7, AF_INET, RT_SCOPE_UNIVERSE);
    m.link(8, "kivo1", kUp, ARPHRD_ETHER, "veth").address(8, AF_INET, RT_SCOPE_UNIVERSE);
  };
  const auto tunnel = [](Messages& m) {
    m.link(9, "office", kUp, ARPHRD_NONE, "wireguard").address(9, AF_INET, RT_SCOPE_UNIVERSE);
  };
  const auto noWifi = [] {
    Messages m;
    m.link(2, "enp3s0", kUp).address(2, AF_INET, RT_SCOPE_UNIVERSE);
    m.route({.family = AF_INET, .oif = 2}).done();
    return pathOf(m);
  };
  const struct {
    const char* what;
    NetworkPath before;
    NetworkPath after;
    std::vector<NetworkChange> changes;
  } cases[] = {
      {"a veth pair appears",
       desktopWith(),
       desktopWith(vethPair),
       {{K::added, "kivo0", InterfaceKind::other}, {K::added, "kivo1", InterfaceKind::other}}},
      {"the pair goes",
       desktopWith(vethPair),
       desktopWith(),
       {{K::removed, "kivo0", InterfaceKind::other}, {K::removed, "kivo1", InterfaceKind::other}}},
      {"the cable is unplugged",
       desktopWith(),
       desktopWith({}, IFF_UP),
       {{K::linkDown, "enp3s0", InterfaceKind::ethernet}}},
      {"the cable is plugged in",
       desktopWith({}, IFF_UP),
       desktopWith(),
       {{K::linkUp, "enp3s0", InterfaceKind::ethernet}}},
      {"the Wi-Fi adapter is pulled", desktopWith(), noWifi(), {{K::removed, "wlp2s0", InterfaceKind::wifi}}},
      {"a WireGuard tunnel comes",
       desktopWith(),
       desktopWith(tunnel),
       {{K::added, "office", InterfaceKind::tunnel}}},
      {"the metered flag alone",
       desktopWith(),
       [&] {
         NetworkPath p = desktopWith();
         p.expensive = true;
         return p;
       }(),
       {}},
  };
  const QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.after.changesSince(c.before), c.changes);
    const QList<StoredEvent> events = c.after.eventsSince(c.before, now);
    ASSERT_EQ(events.size(), std::max<qsizetype>(1, static_cast<qsizetype>(c.changes.size())));
    for (qsizetype i = 0; i < events.size(); ++i) {
      const StoredEvent& e = events[i];
      EXPECT_EQ(e.code, c.after.online ? "network.online" : "network.offline");
      EXPECT_EQ(e.payload.value("interfaces"), c.after.joinedInterfaces());
      if (c.changes.empty()) {
        EXPECT_EQ(e.payload.keys(), QStringList{"interfaces"});
        continue;
      }
      const NetworkChange& change = c.changes[static_cast<std::size_t>(i)];
      EXPECT_EQ(e.payload.value("change"), NetworkChanges::rawString(change.change));
      EXPECT_EQ(e.payload.value("interface"), change.interface);
      EXPECT_EQ(e.payload.value("interfaceKind"), InterfaceKinds::rawString(change.kind));
    }
  }
}

TEST(NetworkPathTest, ParserEndsAtDoneOrErrorAndRefusesWhatDoesNotFit) {
  {
    Messages m;
    m.link(3, "wlan0", kUp).other().done().link(4, "after-done", kUp);
    RtnetlinkState state;
    const auto result = RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state);
    EXPECT_TRUE(result.done);
    EXPECT_FALSE(result.malformed);
    EXPECT_EQ(state.links.size(), 1u);
  }
  {
    Messages m;
    m.error(-EPERM);
    RtnetlinkState state;
    const auto result = RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.error, EPERM);
  }
  // An error code beyond the errno range is no error reply; INT_MIN cannot even be negated.
  for (const int code : {INT_MIN, -4096, 4096, INT_MAX}) {
    Messages m;
    m.error(code);
    RtnetlinkState state;
    EXPECT_TRUE(RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state).malformed) << code;
  }
  // A dump split over several reads: not done until its DONE arrives.
  {
    Messages first, second;
    first.link(3, "wlan0", kUp);
    second.address(3, AF_INET, RT_SCOPE_UNIVERSE).done();
    RtnetlinkState state;
    EXPECT_FALSE(RtnetlinkParser::parse(first.bytes.data(), first.bytes.size(), state).done);
    EXPECT_TRUE(RtnetlinkParser::parse(second.bytes.data(), second.bytes.size(), state).done);
    EXPECT_EQ(NetworkPath::fromState(state, false).interfaces, QStringList{"wlan0"});
  }
  // Truncated at every length: never read past the end, and flagged.
  Messages whole;
  whole.link(3, "wlan0", kUp).address(3, AF_INET, RT_SCOPE_UNIVERSE).route({.oif = 3});
  for (std::size_t cut = 1; cut < whole.bytes.size(); ++cut) {
    // Copied to the heap at the exact size so the address sanitizer sees any overread, and
    // one byte off alignment.
    std::vector<unsigned char> buffer(cut + 1);
    std::memcpy(buffer.data() + 1, whole.bytes.data(), cut);
    RtnetlinkState state;
    const auto result = RtnetlinkParser::parse(buffer.data() + 1, cut, state);
    // A cut in the padding after a message loses nothing.
    const bool boundary = std::any_of(whole.ends.begin(), whole.ends.end(), [cut](std::size_t end) {
      return cut >= end && cut <= ((end + 3) & ~std::size_t(3));
    });
    EXPECT_EQ(result.malformed, !boundary) << cut;
  }
  // An attribute claiming more than its message holds.
  {
    Messages m;
    m.link(3, "wlan0", kUp);
    // rta_len of IFLA_IFNAME sits right after the 16-byte header and 16-byte ifinfomsg.
    m.bytes[32] = 0xff;
    RtnetlinkState state;
    EXPECT_TRUE(RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state).malformed);
    EXPECT_TRUE(state.links.empty());
  }
  // A message length below the header size.
  {
    Messages m;
    m.link(3, "wlan0", kUp);
    m.bytes[0] = 4;
    m.bytes[1] = m.bytes[2] = m.bytes[3] = 0;
    RtnetlinkState state;
    EXPECT_TRUE(RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state).malformed);
  }
}

TEST(NetworkPathTest, TheFirstPathIsTheBaselineAndOnlyDifferencesAreChanges) {
  QDBusConnection noBus = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/kivo-bus"),
                                                        QStringLiteral("kivo-no-bus-path"));
  NetworkPathMonitor monitor(noBus);
  std::vector<NetworkPath> reported, changed;
  QObject::connect(&monitor, &NetworkPathMonitor::pathReported,
                   [&](const NetworkPath& p) { reported.push_back(p); });
  QObject::connect(&monitor, &NetworkPathMonitor::pathChanged,
                   [&](const NetworkPath& p) { changed.push_back(p); });

  auto stateOf = [](Messages m) {
    RtnetlinkState state;
    RtnetlinkParser::parse(m.bytes.data(), m.bytes.size(), state);
    return state;
  };
  Messages online = laptop();
  online.route({.oif = 3});
  Messages offline = laptop();

  monitor.apply(stateOf(online));  // baseline
  EXPECT_EQ(reported.size(), 1u);
  EXPECT_EQ(changed.size(), 0u);
  monitor.apply(stateOf(online));  // the same path again
  EXPECT_EQ(changed.size(), 0u);
  monitor.apply(stateOf(offline));
  ASSERT_EQ(changed.size(), 1u);
  const NetworkPath path = changed.back();
  EXPECT_EQ(path.status(), "offline");
  EXPECT_EQ(path.joinedInterfaces(), "wlan0");  // names the path still has
  // Same status, other interfaces: a change too.
  Messages wired = laptop();
  wired.link(2, "eth0", kUp).address(2, AF_INET, RT_SCOPE_UNIVERSE);
  monitor.apply(stateOf(wired));
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(changed.back().key(), "offline|eth0,wlan0|false|false");
  EXPECT_EQ(reported.size(), 4u);
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-no-bus-path"));
}

TEST(NetworkPathTest, TheLiveMonitorTakesABaselineFromThisMachine) {
  RtnetlinkState state;
  std::vector<unsigned char> buffer;
  if (!NetworkPathMonitor::dump(state, buffer)) GTEST_SKIP() << "no rtnetlink here";
  EXPECT_FALSE(state.links.empty());  // loopback at least

  QDBusConnection noBus = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/kivo-bus"),
                                                        QStringLiteral("kivo-no-bus-live"));
  NetworkPathMonitor monitor(noBus);
  int reported = 0;
  QObject::connect(&monitor, &NetworkPathMonitor::pathReported, [&] { ++reported; });
  monitor.start();
  EXPECT_TRUE(monitor.isAvailable());
  ASSERT_EQ(reported, 1);
  EXPECT_FALSE(monitor.current()->expensive);
  EXPECT_FALSE(monitor.current()->interfaces.contains("lo"));
  QDBusConnection::disconnectFromBus(QStringLiteral("kivo-no-bus-live"));
}

}  // namespace
}  // namespace kivo
