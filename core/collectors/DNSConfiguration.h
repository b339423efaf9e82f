#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace kivo {

// The resolver and routing summary: name servers, search domains and the IPv4 default route.
struct DNSConfiguration {
  QStringList servers;
  QStringList searchDomains;
  std::optional<QString> router;            // gateway of the IPv4 default route
  std::optional<QString> primaryInterface;  // interface of that route

  bool operator==(const DNSConfiguration&) const = default;

  QJsonObject toJson() const;
  static std::optional<DNSConfiguration> fromJson(const QJsonObject& object);
};

}  // namespace kivo
