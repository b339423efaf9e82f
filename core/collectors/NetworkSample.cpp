#include "collectors/NetworkSample.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

#include <array>

namespace kivo {

bool InterfaceKinds::countsTowardTotal(InterfaceKind kind) {
  return kind == InterfaceKind::wifi || kind == InterfaceKind::ethernet || kind == InterfaceKind::cellular;
}

QJsonObject NetworkInterface::toJson() const {
  namespace J = JsonFields;
  QJsonObject o;
  o.insert(QStringLiteral("name"), name);
  J::put(o, "displayName", displayName);
  const auto kindName = InterfaceKinds::rawValue(kind);
  o.insert(QStringLiteral("kind"),
           QString::fromLatin1(kindName.data(), static_cast<qsizetype>(kindName.size())));
  o.insert(QStringLiteral("isUp"), isUp);
  o.insert(QStringLiteral("isRunning"), isRunning);
  o.insert(QStringLiteral("ipv4"), QJsonArray::fromStringList(ipv4));
  o.insert(QStringLiteral("ipv6"), QJsonArray::fromStringList(ipv6));
  J::put(o, "mtu", mtu);
  J::put(o, "linkSpeed", linkSpeed);
  o.insert(QStringLiteral("totalBytesIn"), J::fromUInt64(totalBytesIn));
  o.insert(QStringLiteral("totalBytesOut"), J::fromUInt64(totalBytesOut));
  o.insert(QStringLiteral("errorsIn"), J::fromUInt64(errorsIn));
  o.insert(QStringLiteral("errorsOut"), J::fromUInt64(errorsOut));
  J::put(o, "downRate", downRate);
  J::put(o, "upRate", upRate);
  return o;
}

std::optional<NetworkInterface> NetworkInterface::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto name = J::required<QString>(o, "name");
  const auto displayName = J::optional<QString>(o, "displayName");
  const auto kindText = J::required<QString>(o, "kind");
  const auto isUp = J::required<bool>(o, "isUp");
  const auto isRunning = J::required<bool>(o, "isRunning");
  const auto ipv4 = J::required<QStringList>(o, "ipv4");
  const auto ipv6 = J::required<QStringList>(o, "ipv6");
  const auto mtu = J::optional<int>(o, "mtu");
  const auto linkSpeed = J::optional<std::uint64_t>(o, "linkSpeed");
  const auto bytesIn = J::required<std::uint64_t>(o, "totalBytesIn");
  const auto bytesOut = J::required<std::uint64_t>(o, "totalBytesOut");
  const auto errorsIn = J::required<std::uint64_t>(o, "errorsIn");
  const auto errorsOut = J::required<std::uint64_t>(o, "errorsOut");
  const auto downRate = J::optional<double>(o, "downRate");
  const auto upRate = J::optional<double>(o, "upRate");
  if (!name || !displayName.ok || !kindText || !isUp || !isRunning || !ipv4 || !ipv6 || !mtu.ok ||
      !linkSpeed.ok || !bytesIn || !bytesOut || !errorsIn || !errorsOut || !downRate.ok || !upRate.ok) {
    return std::nullopt;
  }
  const auto kind = InterfaceKinds::fromRawValue(kindText->toStdString());
  if (!kind) return std::nullopt;
  return NetworkInterface{*name,      displayName.value, *kind,           *isUp,    *isRunning, *ipv4,
                          *ipv6,      mtu.value,         linkSpeed.value, *bytesIn, *bytesOut,  *errorsIn,
                          *errorsOut, downRate.value,    upRate.value};
}

QJsonObject NetworkSample::toJson() const {
  namespace J = JsonFields;
  QJsonArray list;
  for (const auto& item : interfaces) list.append(item.toJson());
  QJsonObject o;
  o.insert(QStringLiteral("interfaces"), list);
  J::put(o, "downRate", downRate);
  J::put(o, "upRate", upRate);
  J::put(o, "primaryInterface", primaryInterface);
  return o;
}

std::optional<NetworkSample> NetworkSample::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const QJsonValue list = o.value(QStringLiteral("interfaces"));
  if (!list.isArray()) return std::nullopt;
  NetworkSample sample;
  for (const QJsonValue& item : list.toArray()) {
    if (!item.isObject()) return std::nullopt;
    auto parsed = NetworkInterface::fromJson(item.toObject());
    if (!parsed) return std::nullopt;
    sample.interfaces.push_back(std::move(*parsed));
  }
  const auto downRate = J::optional<double>(o, "downRate");
  const auto upRate = J::optional<double>(o, "upRate");
  const auto primary = J::optional<QString>(o, "primaryInterface");
  if (!downRate.ok || !upRate.ok || !primary.ok) return std::nullopt;
  sample.downRate = downRate.value;
  sample.upRate = upRate.value;
  sample.primaryInterface = primary.value;
  return sample;
}

}  // namespace kivo
