#include "collectors/NetworkMath.h"

#include "metrics/CounterMath.h"

#include <array>
#include <cctype>

namespace kivo::NetworkMath {

namespace {

constexpr unsigned kLoopback = 772;  // ARPHRD_LOOPBACK

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> options) {
  for (auto option : options) {
    if (text == option) return true;
  }
  return false;
}

std::optional<InterfaceKind> byHardwareType(std::string_view type) {
  if (type == "wlan") return InterfaceKind::wifi;
  if (type == "wwan") return InterfaceKind::cellular;
  if (type == "bridge") return InterfaceKind::bridge;
  if (type == "ethernet") return InterfaceKind::ethernet;
  if (isOneOf(type, {"wireguard", "tun", "tap", "ppp", "ipip", "gre", "sit", "ip6tnl", "l2tp"})) {
    return InterfaceKind::tunnel;
  }
  if (isOneOf(type, {"vlan", "bond", "veth", "dummy", "macvlan", "ipvlan", "vxlan", "team"})) {
    return InterfaceKind::other;
  }
  return std::nullopt;
}

std::optional<InterfaceKind> byLinkType(unsigned type) {
  switch (type) {
    case 512:    // ARPHRD_PPP
    case 768:    // ARPHRD_TUNNEL
    case 769:    // ARPHRD_TUNNEL6
    case 776:    // ARPHRD_SIT
    case 778:    // ARPHRD_IPGRE
    case 823:    // ARPHRD_IP6GRE
    case 65534:  // ARPHRD_NONE: tun and WireGuard
      return InterfaceKind::tunnel;
    case 519:  // ARPHRD_RAWIP: modems
      return InterfaceKind::cellular;
    default:
      return std::nullopt;
  }
}

InterfaceKind byName(std::string_view name) {
  std::size_t end = 0;
  while (end < name.size() && std::isalpha(static_cast<unsigned char>(name[end]))) ++end;
  const std::string_view prefix = name.substr(0, end);
  if (isOneOf(prefix, {"wg", "tun", "tap", "ppp", "ipsec", "gre", "vpn", "utun"}))
    return InterfaceKind::tunnel;
  if (isOneOf(prefix, {"br", "virbr", "docker", "bridge"})) return InterfaceKind::bridge;
  if (isOneOf(prefix, {"wwan", "wwp", "rmnet"})) return InterfaceKind::cellular;
  if (isOneOf(prefix, {"wlan", "wlp", "wlo", "wlx"})) return InterfaceKind::wifi;
  // Predictable names of Ethernet ports, and eth0 as containers and older systems name it.
  if (isOneOf(prefix, {"eth", "enp", "eno", "ens", "enx"})) return InterfaceKind::ethernet;
  return InterfaceKind::other;
}

}  // namespace

InterfaceKind kind(std::string_view name, std::optional<unsigned> ifType,
                   std::optional<std::string_view> hardwareType) {
  if (ifType == kLoopback) return InterfaceKind::loopback;
  if (hardwareType) {
    if (const auto kind = byHardwareType(*hardwareType)) return *kind;
  }
  if (ifType) {
    if (const auto kind = byLinkType(*ifType)) return *kind;
  }
  return byName(name);
}

Rates rates(const InterfaceCounters& previous, const InterfaceCounters& current, double elapsed, int bits) {
  return Rates{CounterMath::rate(CounterMath::delta(previous.bytesIn, current.bytesIn, bits), elapsed),
               CounterMath::rate(CounterMath::delta(previous.bytesOut, current.bytesOut, bits), elapsed)};
}

}  // namespace kivo::NetworkMath
