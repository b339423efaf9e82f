#include "features/settings/IntervalSlider.h"

#include "texts/Localized.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kivo {

int IntervalSlider::position(double value) const {
  if (std::isnan(value)) return static_cast<int>(lower);
  return static_cast<int>(std::trunc(std::clamp(value, lower, upper)));
}

bool IntervalSlider::represents(double value) const {
  return std::isfinite(value) && value >= lower && value <= upper && value == std::trunc(value);
}

QString IntervalSlider::text(double value) {
  if (!std::isfinite(value)) return tr("%1 s", QStringLiteral("—"));
  const QLocale locale;
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    return tr("%1 s", locale.toString(static_cast<qlonglong>(value)));
  }
  // Shortest form up to three fraction digits: 0.5 reads "0.5", not "0.500".
  QString number = locale.toString(value, 'f', 3);
  const QChar point = locale.decimalPoint().at(0);
  if (number.contains(point)) {
    while (number.endsWith(QLatin1Char('0'))) number.chop(1);
    if (number.endsWith(point)) number.chop(1);
  }
  return tr("%1 s", number);
}

}  // namespace kivo
