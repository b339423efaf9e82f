#pragma once

#include <QDateTime>
#include <QJsonValue>

#include <optional>

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

// JSON form of a date: ISO 8601 in UTC with milliseconds ("2026-03-01T12:00:00.000Z").
QJsonValue toJson(const QDateTime& date);
// Accepts an ISO 8601 text with or without milliseconds and zone; anything else is absent.
std::optional<QDateTime> fromJson(const QJsonValue& value);

}  // namespace kivo::StoreTime
