#include "platform/NetInterfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>

namespace kivo {

bool NetDev::parseLine(std::string_view line, NetDevLine& out) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const auto name = KernelText::trim(line.substr(0, colon));
  if (name.empty() || name.find('|') != std::string_view::npos) return false;
  std::string_view rest = line.substr(colon + 1);
  std::uint64_t values[16];
  std::string_view token;
  for (auto& value : values) {
    if (!KernelText::nextToken(rest, token)) return false;
    const auto parsed = KernelText::parseUInt(token);
    if (!parsed) return false;
    value = *parsed;
  }
  out.name = name;
  out.bytesIn = values[0];
  out.packetsIn = values[1];
  out.errorsIn = values[2];
  out.bytesOut = values[8];
  out.packetsOut = values[9];
  out.errorsOut = values[10];
  return true;
}

namespace {

InterfaceAddresses& entryFor(InterfaceAddressMap& map, std::string_view name) {
  for (auto& [key, value] : map) {
    if (key == name) return value;
  }
  map.emplace_back(std::string(name), InterfaceAddresses{});
  return map.back().second;
}

}  // namespace

InterfaceAddressMap readInterfaceAddresses() {
  InterfaceAddressMap map;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return map;
  char text[INET6_ADDRSTRLEN];
  for (const ifaddrs* item = list; item; item = item->ifa_next) {
    if (!item->ifa_name) continue;
    std::string_view name = item->ifa_name;
    // An IPv4 address with a label ("eth0:1") belongs to eth0.
    if (const auto colon = name.find(':'); colon != std::string_view::npos) name = name.substr(0, colon);
    if (!item->ifa_addr) continue;
    const int family = item->ifa_addr->sa_family;
    if (family == AF_PACKET) {
      entryFor(map, name).flags = item->ifa_flags;
    } else if (family == AF_INET) {
      const auto* address = reinterpret_cast<const sockaddr_in*>(item->ifa_addr);
      if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text))
        entryFor(map, name).v4.append(QString::fromLatin1(text));
    } else if (family == AF_INET6) {
      const auto* address = reinterpret_cast<const sockaddr_in6*>(item->ifa_addr);
      if (::inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text)) {
        QString numeric = QString::fromLatin1(text);
        if (const auto percent = numeric.indexOf('%'); percent >= 0) numeric.truncate(percent);
        entryFor(map, name).v6.append(numeric);
      }
    }
  }
  ::freeifaddrs(list);
  return map;
}

const InterfaceAddresses* findAddresses(const InterfaceAddressMap& map, std::string_view name) {
  for (const auto& [key, value] : map) {
    if (key == name) return &value;
  }
  return nullptr;
}

NetSysfs::NetSysfs(std::string root) : files_(std::move(root)) {}

std::vector<std::string> NetSysfs::names() const {
  std::vector<std::string> names = files_.list("/sys/class/net");
  std::erase(names, "bonding_masters");
  std::sort(names.begin(), names.end());
  return names;
}

bool NetSysfs::isWireless(const std::string& name) const {
  const std::string base = "/sys/class/net/" + name;
  if (files_.exists(base + "/wireless") || files_.exists(base + "/phy80211")) return true;
  std::string text;
  if (files_.read(base + "/uevent", text)) return text.find("DEVTYPE=wlan") != std::string::npos;
  return false;
}

LinkAttributes NetSysfs::attributes(const std::string& name) const {
  const std::string base = "/sys/class/net/" + name;
  LinkAttributes link;
  if (const auto type = files_.readInt(base + "/type"); type && *type >= 0)
    link.type = static_cast<unsigned>(*type);
  if (const auto mtu = files_.readInt(base + "/mtu"); mtu && *mtu > 0 && *mtu <= INT32_MAX) {
    link.mtu = static_cast<int>(*mtu);
  }
  // Mbit/s, a 32-bit field; -1 (or a read error) while the link is down or for drivers that do
  // not know it, and the same marker written unsigned. Anything larger is not a speed.
  if (const auto speed = files_.readInt(base + "/speed"); speed && *speed > 0 && *speed < UINT32_MAX) {
    link.speed = static_cast<std::uint64_t>(*speed) * 1'000'000ull;
  }
  if (const auto flags = files_.readLine(base + "/flags")) {
    std::string_view hex = *flags;
    if (hex.starts_with("0x")) hex.remove_prefix(2);
    unsigned value = 0;
    bool ok = !hex.empty();
    for (char c : hex) {
      const int digit = (c >= '0' && c <= '9')   ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                 : -1;
      if (digit < 0) ok = false;
      value = value * 16 + static_cast<unsigned>(std::max(digit, 0));
    }
    if (ok) link.flags = value;
  }
  const auto operstate = files_.readLine(base + "/operstate");
  link.operUp = operstate && (*operstate == "up" || *operstate == "unknown");

  std::string uevent;
  if (files_.read(base + "/uevent", uevent)) {
    std::string_view text = uevent, line;
    while (KernelText::nextLine(text, line)) {
      if (line.starts_with("DEVTYPE=")) link.hardwareType = std::string(KernelText::trim(line.substr(8)));
    }
  }
  if (!link.hardwareType) {
    if (files_.exists(base + "/wireless") || files_.exists(base + "/phy80211")) {
      link.hardwareType = "wlan";
    } else if (files_.exists(base + "/tun_flags")) {
      link.hardwareType = "tun";
    } else if (files_.exists(base + "/bridge")) {
      link.hardwareType = "bridge";
    } else if (files_.exists(base + "/bonding")) {
      link.hardwareType = "bond";
    } else if (files_.exists(base + "/device") && link.type == 1u) {
      link.hardwareType = "ethernet";
    }
  }
  return link;
}

}  // namespace kivo
