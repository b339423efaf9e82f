#include "design/ChartColor.h"

#include "design/Environment.h"

namespace kivo {

QColor ChartColor::resolve(const QWidget* widget) const {
  const DynamicColor color =
      family ? MetricFamilies::color(*family, Environment::colorBlindSafe(widget)) : fixed;
  return color.resolve(widget);
}

}  // namespace kivo
