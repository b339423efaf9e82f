#include "storage/EventKind.h"

#include <array>

namespace kivo::EventKinds {

namespace {
constexpr std::array<EventKind, 6> kAll{EventKind::alert,  EventKind::finding, EventKind::bookmark,
                                        EventKind::system, EventKind::network, EventKind::process};
constexpr std::array<std::string_view, 6> kNames{"alert",  "finding", "bookmark",
                                                 "system", "network", "process"};
}  // namespace

std::span<const EventKind> allCases() {
  return kAll;
}

std::string_view rawValue(EventKind kind) {
  return kNames[static_cast<std::size_t>(kind)];
}

QString rawString(EventKind kind) {
  const std::string_view name = rawValue(kind);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<EventKind> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == raw) return kAll[i];
  }
  return std::nullopt;
}

std::optional<EventKind> fromRawValue(const QString& raw) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (raw == QLatin1String(kNames[i].data(), static_cast<qsizetype>(kNames[i].size()))) return kAll[i];
  }
  return std::nullopt;
}

QJsonValue toJson(EventKind kind) {
  return QJsonValue(rawString(kind));
}

std::optional<EventKind> fromJson(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  return fromRawValue(value.toString());
}

}  // namespace kivo::EventKinds
