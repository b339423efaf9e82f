#pragma once

#include "collectors/NetworkSample.h"

#include <optional>
#include <string_view>
#include <utility>

namespace kivo {

namespace NetworkMath {
// Kind of an interface from its name, its ARPHRD type and the hardware type sysfs gives
// ("wlan", "bridge", "wireguard", "ethernet", ...); first match wins: loopback by type, then
// the hardware type, then the link type, then the letters the name starts with.
InterfaceKind kind(std::string_view name, std::optional<unsigned> ifType,
                   std::optional<std::string_view> hardwareType);

struct Rates {
  std::optional<double> down;
  std::optional<double> up;
  bool operator==(const Rates&) const = default;
};
// Bytes per second in and out, by CounterMath's rules for a counter of the given width.
Rates rates(const InterfaceCounters& previous, const InterfaceCounters& current, double elapsed, int bits);
}  // namespace NetworkMath

}  // namespace kivo
