#include "collectors/WiFiLink.h"

#include "metrics/JsonFields.h"

namespace kivo {

QJsonObject WiFiLink::toJson() const {
  namespace J = JsonFields;
  QJsonObject o;
  o.insert(QStringLiteral("interface"), interface);
  o.insert(QStringLiteral("isPoweredOn"), isPoweredOn);
  J::put(o, "rssi", rssi);
  J::put(o, "noise", noise);
  J::put(o, "transmitRate", transmitRate);
  J::put(o, "channel", channel);
  J::put(o, "band", band);
  J::put(o, "phyMode", phyMode);
  return o;
}

std::optional<WiFiLink> WiFiLink::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto interface = J::required<QString>(o, "interface");
  const auto powered = J::required<bool>(o, "isPoweredOn");
  const auto rssi = J::optional<int>(o, "rssi");
  const auto noise = J::optional<int>(o, "noise");
  const auto rate = J::optional<double>(o, "transmitRate");
  const auto channel = J::optional<int>(o, "channel");
  const auto band = J::optional<QString>(o, "band");
  const auto phyMode = J::optional<QString>(o, "phyMode");
  if (!interface || !powered || !rssi.ok || !noise.ok || !rate.ok || !channel.ok || !band.ok || !phyMode.ok) {
    return std::nullopt;
  }
  return WiFiLink{*interface, *powered,      rssi.value, noise.value,
                  rate.value, channel.value, band.value, phyMode.value};
}

}  // namespace kivo
