#pragma once

#include <QJsonValue>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// Category of a stored event; the raw value (the case name) is stored in events.kind.
enum class EventKind { alert, finding, bookmark, system, network, process };

namespace EventKinds {
// alert, finding, bookmark, system, network, process.
std::span<const EventKind> allCases();
std::string_view rawValue(EventKind kind);
QString rawString(EventKind kind);
// Exact, case-sensitive match of the raw value.
std::optional<EventKind> fromRawValue(std::string_view raw);
std::optional<EventKind> fromRawValue(const QString& raw);
QJsonValue toJson(EventKind kind);
std::optional<EventKind> fromJson(const QJsonValue& value);
}  // namespace EventKinds

}  // namespace kivo
