#pragma once

#include "metrics/RawValueTable.h"

#include "metrics/Metric.h"

#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The seven kinds of report; the raw value is the case name.
enum class ReportKind { system, cpu, memory, storage, network, processes, incident };

inline constexpr auto kReportKindRawValues = rawValueTable<ReportKind>({{ReportKind::system, "system"},
                                                                        {ReportKind::cpu, "cpu"},
                                                                        {ReportKind::memory, "memory"},
                                                                        {ReportKind::storage, "storage"},
                                                                        {ReportKind::network, "network"},
                                                                        {ReportKind::processes, "processes"},
                                                                        {ReportKind::incident, "incident"}});

struct ReportKinds : RawValueLookups<kReportKindRawValues> {
  // Same as rawValue: a kind is identified by its raw value.
  static QString id(ReportKind kind) { return rawString(kind); }
  // The metrics a report of the kind covers, in the order of its series, tables and charts.
  static std::span<const MetricID> metrics(ReportKind kind);
};

}  // namespace kivo
