#pragma once

#include "design/MetricFamily.h"
#include "design/Tokens.h"

#include <QColor>

#include <optional>

class QWidget;

namespace kivo {

// The colour of a chart's line: a family's colour follows the window's colour-blind-safe
// choice, any other colour only the appearance. Resolved when the chart is painted.
struct ChartColor {
  std::optional<MetricFamily> family;
  DynamicColor fixed{};

  static ChartColor of(MetricFamily family) { return {family, {}}; }
  static ChartColor of(DynamicColor color) { return {std::nullopt, color}; }

  QColor resolve(const QWidget* widget) const;

  bool operator==(const ChartColor&) const = default;
};

}  // namespace kivo
