#pragma once

#include <QDateTime>

namespace kivo::StoreTime {

// Wall-clock dates as the store keeps them: seconds since 1970-01-01 00:00 UTC.
// QDateTime carries milliseconds, so the result is exact to the millisecond.
// An invalid date gives NaN.
double seconds(const QDateTime& date);
// The UTC date of seconds since 1970, rounded to the millisecond. NaN gives an invalid date.
QDateTime date(double seconds);

// Bounds for "all time" queries (events(kinds, distantPast(), distantFuture(), limit)).
QDateTime distantPast();
QDateTime distantFuture();

}  // namespace kivo::StoreTime
