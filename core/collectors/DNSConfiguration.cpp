#include "collectors/DNSConfiguration.h"

#include "collectors/SampleJson.h"

#include <QJsonArray>

namespace kivo {

QJsonObject DNSConfiguration::toJson() const {
  QJsonObject o;
  o.insert(QStringLiteral("servers"), QJsonArray::fromStringList(servers));
  o.insert(QStringLiteral("searchDomains"), QJsonArray::fromStringList(searchDomains));
  SampleJson::put(o, "router", router);
  SampleJson::put(o, "primaryInterface", primaryInterface);
  return o;
}

std::optional<DNSConfiguration> DNSConfiguration::fromJson(const QJsonObject& o) {
  const auto servers = SampleJson::textList(o, "servers");
  const auto search = SampleJson::textList(o, "searchDomains");
  const auto router = SampleJson::optionalText(o, "router");
  const auto primary = SampleJson::optionalText(o, "primaryInterface");
  if (!servers || !search || !router || !primary) return std::nullopt;
  return DNSConfiguration{*servers, *search, *router, *primary};
}

}  // namespace kivo
