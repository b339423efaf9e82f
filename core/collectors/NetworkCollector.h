#pragma once

#include "collectors/DNSConfiguration.h"
#include "collectors/NetworkSample.h"
#include "collectors/WiFiLink.h"
#include "platform/KernelFiles.h"
#include "platform/NetInterfaces.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kivo {

class WirelessSource;

// Interfaces with their rates (every tick), and the stateless DNS, Wi-Fi and latency readers.
// The sampler is owned and called by the engine only; nothing here throws.
class NetworkCollector {
 public:
  struct Options {
    std::string root = "/";  // a fixture tree in tests
    // Addresses and link flags; getifaddrs by default.
    InterfaceAddressReader addressReader = readInterfaceAddresses;
  };

  NetworkCollector();
  explicit NetworkCollector(Options options);
  ~NetworkCollector();
  NetworkCollector(const NetworkCollector&) = delete;
  NetworkCollector& operator=(const NetworkCollector&) = delete;

  // Every interface in the kernel's order; rates since the previous call.
  NetworkSample sample(double now);
  // Drops the counter baseline; what is known of the hardware stays.
  void reset();
  // Addresses and link flags are read again at the next sample. They are otherwise kept from
  // tick to tick while the kernel lists the same interfaces: the engine calls this on its slow
  // interval and when the desktop reports a change of the network path.
  void invalidateAddresses() { addressesStale_ = true; }

  static DNSConfiguration dns(const std::string& root = "/");
  // The Wi-Fi link through nl80211 (or the given source), else /proc/net/wireless; absent
  // without a wireless interface.
  static std::optional<WiFiLink> wifi(const std::string& root = "/", WirelessSource* source = nullptr);

 private:
  struct Hardware;
  bool hardwareIsStale(double now) const;
  void refreshHardware(double now);

  Options options_;
  NetSysfs sysfs_;
  KernelFile netDev_;
  KernelFile routes_;
  std::string buffer_;
  std::string routeBuffer_;
  std::vector<NetDevLine> lines_;
  std::vector<Hardware> hardware_;
  double hardwareRefreshed_ = 0;
  InterfaceAddressMap addresses_;
  bool addressesStale_ = true;
  std::vector<std::string> addressedNames_;  // the interfaces when addresses were read
  std::vector<std::pair<QString, InterfaceCounters>> previous_;
  std::vector<std::pair<QString, InterfaceCounters>> current_;
  double previousTime_ = 0;
};

}  // namespace kivo
