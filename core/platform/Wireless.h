#pragma once

#include <optional>
#include <string_view>

namespace kivo {

// Which generation of rates the transmit rate belongs to (nl80211 rate-info flags).
enum class WirelessRateKind { legacy, ht, vht, he, eht };

// The associated access point as the driver reports it.
struct WirelessStation {
  std::optional<int> signal;           // dBm
  std::optional<double> transmitRate;  // Mbit/s
  std::optional<WirelessRateKind> rateKind;

  bool operator==(const WirelessStation&) const = default;
};

struct WirelessReading {
  std::optional<unsigned> frequency;       // MHz of the operating channel; absent off-channel
  std::optional<WirelessStation> station;  // absent when not associated
  std::optional<int> noise;                // dBm, from the survey of the channel in use

  bool operator==(const WirelessReading&) const = default;
};

// Asks the kernel about a wireless interface. The network name is never asked for.
class WirelessSource {
 public:
  virtual ~WirelessSource() = default;
  // Absent when the kernel cannot be asked at all (no nl80211), so a fallback can answer.
  virtual std::optional<WirelessReading> read(int ifindex) = 0;
};

// nl80211 over generic netlink (libnl-genl-3); every call opens and closes its own socket and
// waits at most a second for an answer.
class Nl80211Source : public WirelessSource {
 public:
  std::optional<WirelessReading> read(int ifindex) override;
};

// One interface's line of /proc/net/wireless (the old wireless-extensions table).
struct ProcWirelessLine {
  std::optional<int> signal;  // dBm
  std::optional<int> noise;   // dBm
};
namespace ProcWireless {
// Absent when the interface has no line.
std::optional<ProcWirelessLine> find(std::string_view table, std::string_view name);
}  // namespace ProcWireless

}  // namespace kivo
