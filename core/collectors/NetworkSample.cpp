#include "collectors/NetworkSample.h"

#include "collectors/SampleJson.h"

#include <QJsonArray>

#include <array>

namespace kivo {

namespace InterfaceKinds {
namespace {
constexpr std::array kKinds{InterfaceKind::wifi,   InterfaceKind::ethernet, InterfaceKind::cellular,
                            InterfaceKind::tunnel, InterfaceKind::bridge,   InterfaceKind::loopback,
                            InterfaceKind::other};
constexpr std::array<std::string_view, 7> kNames{"wifi",   "ethernet", "cellular", "tunnel",
                                                 "bridge", "loopback", "other"};
}  // namespace

std::span<const InterfaceKind> allCases() { return kKinds; }
std::string_view rawValue(InterfaceKind kind) { return kNames[static_cast<std::size_t>(kind)]; }
std::optional<InterfaceKind> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == raw) return kKinds[i];
  }
  return std::nullopt;
}
bool countsTowardTotal(InterfaceKind kind) {
  return kind == InterfaceKind::wifi || kind == InterfaceKind::ethernet || kind == InterfaceKind::cellular;
}
}  // namespace InterfaceKinds

QJsonObject NetworkInterface::toJson() const {
  using namespace SampleJson;
  QJsonObject o;
  o.insert(QStringLiteral("name"), name);
  put(o, "displayName", displayName);
  const auto kindName = InterfaceKinds::rawValue(kind);
  o.insert(QStringLiteral("kind"), QString::fromLatin1(kindName.data(), static_cast<qsizetype>(kindName.size())));
  o.insert(QStringLiteral("isUp"), isUp);
  o.insert(QStringLiteral("isRunning"), isRunning);
  o.insert(QStringLiteral("ipv4"), QJsonArray::fromStringList(ipv4));
  o.insert(QStringLiteral("ipv6"), QJsonArray::fromStringList(ipv6));
  put(o, "mtu", mtu);
  put(o, "linkSpeed", linkSpeed);
  o.insert(QStringLiteral("totalBytesIn"), fromUInt64(totalBytesIn));
  o.insert(QStringLiteral("totalBytesOut"), fromUInt64(totalBytesOut));
  o.insert(QStringLiteral("errorsIn"), fromUInt64(errorsIn));
  o.insert(QStringLiteral("errorsOut"), fromUInt64(errorsOut));
  put(o, "downRate", downRate);
  put(o, "upRate", upRate);
  return o;
}

std::optional<NetworkInterface> NetworkInterface::fromJson(const QJsonObject& o) {
  using namespace SampleJson;
  const auto name = text(o, "name");
  const auto displayName = optionalText(o, "displayName");
  const auto kindText = text(o, "kind");
  const auto isUp = boolean(o, "isUp");
  const auto isRunning = boolean(o, "isRunning");
  const auto ipv4 = textList(o, "ipv4");
  const auto ipv6 = textList(o, "ipv6");
  const auto mtu = optionalInteger(o, "mtu");
  const auto linkSpeed = optionalUInt64(o, "linkSpeed");
  const auto bytesIn = uint64(o, "totalBytesIn");
  const auto bytesOut = uint64(o, "totalBytesOut");
  const auto errorsIn = uint64(o, "errorsIn");
  const auto errorsOut = uint64(o, "errorsOut");
  const auto downRate = optionalNumber(o, "downRate");
  const auto upRate = optionalNumber(o, "upRate");
  if (!name || !displayName || !kindText || !isUp || !isRunning || !ipv4 || !ipv6 || !mtu || !linkSpeed ||
      !bytesIn || !bytesOut || !errorsIn || !errorsOut || !downRate || !upRate) {
    return std::nullopt;
  }
  const auto kind = InterfaceKinds::fromRawValue(kindText->toStdString());
  if (!kind) return std::nullopt;
  return NetworkInterface{*name,     *displayName, *kind,      *isUp,    *isRunning, *ipv4,
                          *ipv6,     *mtu,         *linkSpeed, *bytesIn, *bytesOut,  *errorsIn,
                          *errorsOut, *downRate,   *upRate};
}

QJsonObject NetworkSample::toJson() const {
  QJsonArray list;
  for (const auto& item : interfaces) list.append(item.toJson());
  QJsonObject o;
  o.insert(QStringLiteral("interfaces"), list);
  SampleJson::put(o, "downRate", downRate);
  SampleJson::put(o, "upRate", upRate);
  SampleJson::put(o, "primaryInterface", primaryInterface);
  return o;
}

std::optional<NetworkSample> NetworkSample::fromJson(const QJsonObject& o) {
  const QJsonValue list = o.value(QStringLiteral("interfaces"));
  if (!list.isArray()) return std::nullopt;
  NetworkSample sample;
  for (const QJsonValue& item : list.toArray()) {
    if (!item.isObject()) return std::nullopt;
    auto parsed = NetworkInterface::fromJson(item.toObject());
    if (!parsed) return std::nullopt;
    sample.interfaces.push_back(std::move(*parsed));
  }
  const auto downRate = SampleJson::optionalNumber(o, "downRate");
  const auto upRate = SampleJson::optionalNumber(o, "upRate");
  const auto primary = SampleJson::optionalText(o, "primaryInterface");
  if (!downRate || !upRate || !primary) return std::nullopt;
  sample.downRate = *downRate;
  sample.upRate = *upRate;
  sample.primaryInterface = *primary;
  return sample;
}

}  // namespace kivo
