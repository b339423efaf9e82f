#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// The IPv4 default route of /proc/net/route.
struct DefaultRoute {
  std::string interface;
  std::optional<std::string> gateway;  // dotted quad; absent for a point-to-point route
  std::uint32_t metric = 0;

  bool operator==(const DefaultRoute&) const = default;
};

namespace RouteTable {
// The route table writes each address as the hex of its in-memory (network order) bytes read
// as a host integer: "0101A8C0" is 192.168.1.1 on a little-endian machine.
std::optional<std::string> decodeAddress(std::string_view hex);
// The usable default route with the lowest metric; the first one wins a tie.
std::optional<DefaultRoute> defaultRoute(std::string_view table);
}  // namespace RouteTable

}  // namespace kivo
