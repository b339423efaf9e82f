#pragma once

#include "design/Tokens.h"
#include "metrics/Metric.h"

#include <QJsonValue>
#include <QString>

#include <array>
#include <optional>

namespace kivo {

// The group a metric belongs to: gives it a colour in two palettes and a symbol.
enum class MetricFamily { cpu, gpu, memory, disk, network, power, thermal, system };

namespace MetricFamilies {
// In declaration order.
const std::array<MetricFamily, 8>& all();
// The case name; also the stored and encoded form.
QString rawValue(MetricFamily family);
// Exact, case-sensitive match of a case name.
std::optional<MetricFamily> fromRawValue(const QString& raw);
QJsonValue toJson(MetricFamily family);
// Only a JSON string holding a case name decodes.
std::optional<MetricFamily> fromJson(const QJsonValue& value);

DynamicColor standard(MetricFamily family);
DynamicColor colorBlindSafe(MetricFamily family);
// The one way views take a family colour: pass the environment's colour-blind flag.
DynamicColor color(MetricFamily family, bool colorBlindSafe);
// Symbol name for Icons ("cpu", "square.stack.3d.up", ...).
QString symbol(MetricFamily family);
// The family a metric is grouped and coloured by.
MetricFamily of(MetricID metric);
}  // namespace MetricFamilies

}  // namespace kivo
