#include "platform/RouteTable.h"

#include "platform/KernelFiles.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <charconv>

namespace kivo::RouteTable {

namespace {
constexpr unsigned kRouteUp = 0x1;       // RTF_UP
constexpr unsigned kRouteGateway = 0x2;  // RTF_GATEWAY

std::optional<std::uint32_t> parseHex(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string dottedQuad(std::uint32_t raw) {
  in_addr address{};
  address.s_addr = raw;  // already the network-order bytes, as the kernel held them
  char text[INET_ADDRSTRLEN];
  return ::inet_ntop(AF_INET, &address, text, sizeof text) ? std::string(text) : std::string();
}
}  // namespace

std::optional<std::string> decodeAddress(std::string_view hex) {
  if (hex.size() != 8) return std::nullopt;
  const auto raw = parseHex(hex);
  if (!raw) return std::nullopt;
  return dottedQuad(*raw);
}

std::optional<DefaultRoute> defaultRoute(std::string_view table) {
  std::optional<DefaultRoute> best;
  std::string_view line;
  while (KernelText::nextLine(table, line)) {
    std::string_view fields[8];
    bool ok = true;
    for (auto& field : fields) ok = ok && KernelText::nextToken(line, field);
    if (!ok || fields[0] == "Iface") continue;
    const auto destination = parseHex(fields[1]);
    const auto gateway = parseHex(fields[2]);
    const auto flags = parseHex(fields[3]);
    const auto metric = KernelText::parseUInt(fields[6]);
    const auto mask = parseHex(fields[7]);
    if (!destination || !gateway || !flags || !metric || !mask) continue;
    if (*destination != 0 || *mask != 0 || !(*flags & kRouteUp) || *metric > UINT32_MAX) continue;
    if (best && best->metric <= *metric) continue;
    DefaultRoute route;
    route.interface = std::string(fields[0]);
    route.metric = static_cast<std::uint32_t>(*metric);
    if ((*flags & kRouteGateway) && *gateway != 0) route.gateway = dottedQuad(*gateway);
    best = std::move(route);
  }
  return best;
}

}  // namespace kivo::RouteTable
