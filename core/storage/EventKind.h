#pragma once

#include "metrics/RawValueTable.h"

#include <QJsonValue>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// Category of a stored event; the raw value (the case name) is stored in events.kind.
enum class EventKind { alert, finding, bookmark, system, network, process };

inline constexpr auto kEventKindRawValues = rawValueTable<EventKind>({{EventKind::alert, "alert"},
                                                                      {EventKind::finding, "finding"},
                                                                      {EventKind::bookmark, "bookmark"},
                                                                      {EventKind::system, "system"},
                                                                      {EventKind::network, "network"},
                                                                      {EventKind::process, "process"}});

struct EventKinds : RawValueLookups<kEventKindRawValues> {};

}  // namespace kivo
