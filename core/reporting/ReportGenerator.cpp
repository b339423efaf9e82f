#include "reporting/ReportGenerator.h"

#include <algorithm>
#include <cmath>

namespace kivo::ReportGenerator {

QString title(ReportKind kind) {
  switch (kind) {
    case ReportKind::system:
      return QStringLiteral("System Overview Report");
    case ReportKind::cpu:
      return QStringLiteral("CPU Analysis Report");
    case ReportKind::memory:
      return QStringLiteral("Memory Analysis Report");
    case ReportKind::storage:
      return QStringLiteral("Storage Analysis Report");
    case ReportKind::network:
      return QStringLiteral("Network Analysis Report");
    case ReportKind::processes:
      return QStringLiteral("Process Activity Report");
    case ReportKind::incident:
      return QStringLiteral("Performance Incident Report");
  }
  return {};
}

QString display(double value, MetricID metric, MetricUnit unit, const ValueFormatter& formatter,
                const Localize& localize) {
  if (!std::isfinite(value)) return formatter.value(value, unit);
  switch (metric) {
    case MetricID::thermalState: {
      static const char* const names[] = {"Nominal", "Fair", "Serious", "Critical"};
      const double level = std::clamp(std::round(value), 0.0, 3.0);
      return localize(QString::fromLatin1(names[static_cast<int>(level)]));
    }
    case MetricID::memPressure:
      if (value < 0.5) return localize(QStringLiteral("Normal"));
      if (value < 1.5) return localize(QStringLiteral("Warning"));
      return localize(QStringLiteral("Critical"));
    case MetricID::diskFree:
      return formatter.bytes(value, false);
    default:
      return formatter.value(value, unit);
  }
}

}  // namespace kivo::ReportGenerator
