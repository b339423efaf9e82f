#include "collectors/DNSConfiguration.h"

#include "metrics/JsonFields.h"

#include <QJsonArray>

namespace kivo {

QJsonObject DNSConfiguration::toJson() const {
  namespace J = JsonFields;
  QJsonObject o;
  o.insert(QStringLiteral("servers"), QJsonArray::fromStringList(servers));
  o.insert(QStringLiteral("searchDomains"), QJsonArray::fromStringList(searchDomains));
  J::put(o, "router", router);
  J::put(o, "primaryInterface", primaryInterface);
  return o;
}

std::optional<DNSConfiguration> DNSConfiguration::fromJson(const QJsonObject& o) {
  namespace J = JsonFields;
  const auto servers = J::required<QStringList>(o, "servers");
  const auto search = J::required<QStringList>(o, "searchDomains");
  const auto router = J::optional<QString>(o, "router");
  const auto primary = J::optional<QString>(o, "primaryInterface");
  if (!servers || !search || !router.ok || !primary.ok) return std::nullopt;
  return DNSConfiguration{*servers, *search, router.value, primary.value};
}

}  // namespace kivo
