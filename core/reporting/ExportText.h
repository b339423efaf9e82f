#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>

namespace kivo {

// Locale-independent texts of numbers and dates in exported files (CSV, JSON).
namespace ExportText {

// Shortest text that reads back as the same double, "." as separator. Whole numbers keep ".0";
// magnitudes from 1e16 and non-zero ones below 1e-4 use an exponent ("1e+16", "2.5e-05");
// non-finite values give "nan", "inf", "-inf".
QByteArray shortestDecimal(double value);
void appendShortestDecimal(std::string& out, double value);

// Seconds since 1970 with exactly three decimals ("1772373900.500").
void appendFixed3(std::string& out, double value);

// ISO 8601 in UTC with whole seconds and a trailing Z ("2026-03-01T14:05:00Z"); the fraction is
// dropped toward the past. Empty for a time outside years 0001 to 9999.
QByteArray isoDate(const QDateTime& date);
QByteArray isoDateFromSeconds(double secondsSince1970);
void appendIsoDate(std::string& out, double secondsSince1970);

// Reads what isoDate writes; also takes a numeric offset (+02:00) in place of Z.
// Anything else (fractions, missing zone, impossible dates) is absent.
std::optional<QDateTime> parseIsoDate(const QString& text);

}  // namespace ExportText

}  // namespace kivo
