#include "storage/StoreTime.h"

#include <cmath>
#include <limits>

namespace kivo::StoreTime {

namespace {
// The range of an ECMAScript date: far beyond any stored time, exact as a double.
constexpr qint64 kDistantMs = 8'640'000'000'000'000LL;
}  // namespace

double seconds(const QDateTime& date) {
  if (!date.isValid()) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

QDateTime date(double seconds) {
  if (!std::isfinite(seconds)) return {};
  const double ms = std::round(seconds * 1000.0);
  if (ms < -static_cast<double>(kDistantMs) || ms > static_cast<double>(kDistantMs)) return {};
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(ms), Qt::UTC);
}

QDateTime distantPast() {
  return QDateTime::fromMSecsSinceEpoch(-kDistantMs, Qt::UTC);
}

QDateTime distantFuture() {
  return QDateTime::fromMSecsSinceEpoch(kDistantMs, Qt::UTC);
}

}  // namespace kivo::StoreTime
