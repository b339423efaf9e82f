#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// The spacing of the interface.
enum class DensityChoice { compact, regular, comfortable };

namespace DensityChoices {
std::span<const DensityChoice> allCases();
// Also the identity and the stored form.
QString rawValue(DensityChoice value);
// Exact, case-sensitive match.
std::optional<DensityChoice> fromRawValue(QStringView raw);
QJsonValue toJson(DensityChoice value);
// Only a JSON string holding a raw value decodes.
std::optional<DensityChoice> fromJson(const QJsonValue& value);
}  // namespace DensityChoices

}  // namespace kivo
