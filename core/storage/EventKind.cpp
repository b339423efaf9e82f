#include "storage/EventKind.h"

#include "metrics/RawValueTable.h"

#include <array>

namespace kivo::EventKinds {

namespace {
constexpr auto kTable = rawValueTable<EventKind>({{EventKind::alert, "alert"},
                                                  {EventKind::finding, "finding"},
                                                  {EventKind::bookmark, "bookmark"},
                                                  {EventKind::system, "system"},
                                                  {EventKind::network, "network"},
                                                  {EventKind::process, "process"}});
}  // namespace

std::span<const EventKind> allCases() {
  return kTable.allCases();
}
std::string_view rawValue(EventKind kind) {
  return kTable.rawValue(kind);
}
QString rawString(EventKind kind) {
  return kTable.rawString(kind);
}
std::optional<EventKind> fromRawValue(std::string_view raw) {
  return kTable.fromRawValue(raw);
}
std::optional<EventKind> fromRawValue(const QString& raw) {
  return kTable.fromRawValue(QStringView(raw));
}
QJsonValue toJson(EventKind kind) {
  return kTable.toJson(kind);
}
std::optional<EventKind> fromJson(const QJsonValue& value) {
  return kTable.fromJson(value);
}
}  // namespace kivo::EventKinds
