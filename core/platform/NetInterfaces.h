#pragma once

#include "platform/KernelFiles.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

// One line of /proc/net/dev: the interface's 64-bit counters, in the kernel's order.
struct NetDevLine {
  std::string_view name;
  std::uint64_t bytesIn = 0;
  std::uint64_t packetsIn = 0;
  std::uint64_t errorsIn = 0;
  std::uint64_t bytesOut = 0;
  std::uint64_t packetsOut = 0;
  std::uint64_t errorsOut = 0;
};

namespace NetDev {
bool parseLine(std::string_view line, NetDevLine& out);
// Calls visit(const NetDevLine&) for every interface line; the two header lines are skipped.
template <typename Visit>
void forEach(std::string_view text, Visit&& visit) {
  std::string_view line;
  NetDevLine parsed;
  while (KernelText::nextLine(text, line)) {
    if (parseLine(line, parsed)) visit(parsed);
  }
}
}  // namespace NetDev

// Addresses and flags of one interface as getifaddrs reports them.
struct InterfaceAddresses {
  QStringList v4;
  QStringList v6;                 // numeric, without a scope suffix
  std::optional<unsigned> flags;  // IFF_* from the link entry, with IFF_RUNNING
};
using InterfaceAddressMap = std::vector<std::pair<std::string, InterfaceAddresses>>;
using InterfaceAddressReader = std::function<InterfaceAddressMap()>;

// getifaddrs, once; an empty map when it fails.
InterfaceAddressMap readInterfaceAddresses();
const InterfaceAddresses* findAddresses(const InterfaceAddressMap& map, std::string_view name);

// What /sys/class/net/<name> tells about an interface's hardware and link.
struct LinkAttributes {
  std::optional<unsigned> type;             // ARPHRD_* (1 Ethernet, 772 loopback, 65534 none)
  std::optional<std::string> hardwareType;  // "wlan", "wwan", "bridge", "bond", "vlan", "wireguard",
                                            // "tun", "ethernet" (a physical device); absent otherwise
  std::optional<int> mtu;
  std::optional<std::uint64_t> speed;  // bits per second; absent when unknown (-1 or unreadable)
  std::optional<unsigned> flags;       // dev->flags (no IFF_RUNNING there)
  bool operUp = false;                 // operstate "up", or "unknown" as loopback reports
};

class NetSysfs {
 public:
  explicit NetSysfs(std::string root = "/");
  LinkAttributes attributes(const std::string& name) const;
  // Interface names under /sys/class/net, sorted.
  std::vector<std::string> names() const;
  bool isWireless(const std::string& name) const;
  const KernelFiles& files() const { return files_; }

 private:
  KernelFiles files_;
};

}  // namespace kivo
