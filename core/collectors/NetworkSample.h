#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kivo {

enum class InterfaceKind { wifi, ethernet, cellular, tunnel, bridge, loopback, other };

inline constexpr auto kInterfaceKindRawValues =
    rawValueTable<InterfaceKind>({{InterfaceKind::wifi, "wifi"},
                                  {InterfaceKind::ethernet, "ethernet"},
                                  {InterfaceKind::cellular, "cellular"},
                                  {InterfaceKind::tunnel, "tunnel"},
                                  {InterfaceKind::bridge, "bridge"},
                                  {InterfaceKind::loopback, "loopback"},
                                  {InterfaceKind::other, "other"}});

struct InterfaceKinds : RawValueLookups<kInterfaceKindRawValues> {
  // Only Wi-Fi, Ethernet and cellular traffic is the machine's own; the rest would count it twice.
  static bool countsTowardTotal(InterfaceKind kind);
};

// Cumulative 64-bit counters of one interface.
struct InterfaceCounters {
  std::uint64_t bytesIn = 0;
  std::uint64_t bytesOut = 0;
  std::uint64_t packetsIn = 0;
  std::uint64_t packetsOut = 0;
  std::uint64_t errorsIn = 0;
  std::uint64_t errorsOut = 0;

  bool operator==(const InterfaceCounters&) const = default;
};

// One network interface, identified by its name.
struct NetworkInterface {
  QString name;                        // kernel name ("wlp2s0", "enp3s0", "lo")
  std::optional<QString> displayName;  // Linux has no localized interface names: absent
  InterfaceKind kind = InterfaceKind::other;
  bool isUp = false;       // IFF_UP
  bool isRunning = false;  // IFF_RUNNING
  QStringList ipv4;
  QStringList ipv6;  // without a scope suffix
  std::optional<int> mtu;
  std::optional<std::uint64_t> linkSpeed;  // bits per second; absent when the driver gives none
  std::uint64_t totalBytesIn = 0;
  std::uint64_t totalBytesOut = 0;
  std::uint64_t errorsIn = 0;
  std::uint64_t errorsOut = 0;
  std::optional<double> downRate;  // bytes per second
  std::optional<double> upRate;

  bool isActive() const { return isUp && isRunning && (!ipv4.isEmpty() || !ipv6.isEmpty()); }

  bool operator==(const NetworkInterface&) const = default;

  QJsonObject toJson() const;
  static std::optional<NetworkInterface> fromJson(const QJsonObject& object);
};

// One tick's network reading; the totals count Wi-Fi, Ethernet and cellular interfaces only.
struct NetworkSample {
  std::vector<NetworkInterface> interfaces;  // in the kernel's order
  std::optional<double> downRate;
  std::optional<double> upRate;
  std::optional<QString> primaryInterface;  // interface of the IPv4 default route with the lowest metric

  bool operator==(const NetworkSample&) const = default;

  QJsonObject toJson() const;
  static std::optional<NetworkSample> fromJson(const QJsonObject& object);
};

}  // namespace kivo
