#pragma once

#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

namespace kivo::UuidText {

// The 36-character hyphenated form with upper-case hexadecimal digits, as settings store it.
QString format(const QUuid& id);
// Exactly 36 characters, hyphens at 8, 13, 18 and 23, hexadecimal digits of either case
// elsewhere; no braces. The all-zero identifier is valid.
std::optional<QUuid> parse(QStringView text);

}  // namespace kivo::UuidText
