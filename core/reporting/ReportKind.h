#pragma once

#include "metrics/Metric.h"

#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace kivo {

// The seven kinds of report; the raw value is the case name.
enum class ReportKind { system, cpu, memory, storage, network, processes, incident };

namespace ReportKinds {
std::span<const ReportKind> allCases();
std::string_view rawValue(ReportKind kind);
// Same as rawValue: a kind is identified by its raw value.
QString id(ReportKind kind);
// Exact, case-sensitive.
std::optional<ReportKind> fromRawValue(std::string_view raw);
// The metrics a report of the kind covers, in the order of its series, tables and charts.
std::span<const MetricID> metrics(ReportKind kind);
}  // namespace ReportKinds

}  // namespace kivo
