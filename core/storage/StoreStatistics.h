#pragma once

#include <QDateTime>
#include <QJsonObject>

#include <cstdint>
#include <optional>

namespace kivo {

// What the settings show about the history database.
struct StoreStatistics {
  std::int64_t rawRows = 0;
  std::int64_t minuteRows = 0;
  std::int64_t hourRows = 0;
  std::int64_t events = 0;
  std::uint64_t fileBytes = 0;        // database file plus its write-ahead log; 0 in memory
  std::optional<QDateTime> earliest;  // the oldest stored sample, as closely as the tiers still tell

  bool operator==(const StoreStatistics&) const = default;

  // Keys are the field names; "earliest" (ISO 8601) is left out when absent.
  QJsonObject toJson() const;
  static std::optional<StoreStatistics> fromJson(const QJsonObject& object);
};

}  // namespace kivo
