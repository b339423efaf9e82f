#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kivo::EventPayload {

// Numbers in stored event payloads are written and read in the C locale, so a
// payload written under one user locale reads back under any other.

// Shortest text that reads back as the same double; whole numbers keep ".0"
// (90 -> "90.0"); NaN -> "nan", infinities -> "inf" / "-inf".
QString decimal(double value);

// Truncated toward zero, as a decimal integer (600.7 -> "600"); NaN -> "0".
QString wholeSeconds(double seconds);

// Fixed with one fraction digit, like "%.1f" in the C locale (93.44 -> "93.4").
QString oneDecimal(double value);

// A finite decimal number that fills the whole text (no spaces, no locale
// separators); "nan" and "inf" are refused.
std::optional<double> parseDecimal(QStringView text);

}  // namespace kivo::EventPayload
