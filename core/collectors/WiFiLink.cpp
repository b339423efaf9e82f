#include "collectors/WiFiLink.h"

#include "collectors/SampleJson.h"

namespace kivo {

QJsonObject WiFiLink::toJson() const {
  QJsonObject o;
  o.insert(QStringLiteral("interface"), interface);
  o.insert(QStringLiteral("isPoweredOn"), isPoweredOn);
  SampleJson::put(o, "rssi", rssi);
  SampleJson::put(o, "noise", noise);
  SampleJson::put(o, "transmitRate", transmitRate);
  SampleJson::put(o, "channel", channel);
  SampleJson::put(o, "band", band);
  SampleJson::put(o, "phyMode", phyMode);
  return o;
}

std::optional<WiFiLink> WiFiLink::fromJson(const QJsonObject& o) {
  using namespace SampleJson;
  const auto interface = text(o, "interface");
  const auto powered = boolean(o, "isPoweredOn");
  const auto rssi = optionalInteger(o, "rssi");
  const auto noise = optionalInteger(o, "noise");
  const auto rate = optionalNumber(o, "transmitRate");
  const auto channel = optionalInteger(o, "channel");
  const auto band = optionalText(o, "band");
  const auto phyMode = optionalText(o, "phyMode");
  if (!interface || !powered || !rssi || !noise || !rate || !channel || !band || !phyMode) return std::nullopt;
  return WiFiLink{*interface, *powered, *rssi, *noise, *rate, *channel, *band, *phyMode};
}

}  // namespace kivo
