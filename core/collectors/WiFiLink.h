#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// State of the Wi-Fi interface. The network name is never read.
struct WiFiLink {
  QString interface;
  bool isPoweredOn = false;
  std::optional<int> rssi;             // dBm; absent when not associated
  std::optional<int> noise;            // dBm; absent when the driver gives no survey
  std::optional<double> transmitRate;  // Mbit/s; absent when not associated
  std::optional<int> channel;
  std::optional<QString> band;     // "2.4 GHz", "5 GHz", "6 GHz"
  std::optional<QString> phyMode;  // "802.11a" ... "802.11ax", "802.11" for newer modes

  bool operator==(const WiFiLink&) const = default;

  QJsonObject toJson() const;
  static std::optional<WiFiLink> fromJson(const QJsonObject& object);
};

}  // namespace kivo
