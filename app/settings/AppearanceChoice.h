#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace kivo {

// The colour scheme of the interface; system follows the desktop.
enum class AppearanceChoice { system, light, dark };

namespace AppearanceChoices {
std::span<const AppearanceChoice> allCases();
// Also the identity and the stored form.
QString rawValue(AppearanceChoice value);
// Exact, case-sensitive match.
std::optional<AppearanceChoice> fromRawValue(QStringView raw);
QJsonValue toJson(AppearanceChoice value);
// Only a JSON string holding a raw value decodes.
std::optional<AppearanceChoice> fromJson(const QJsonValue& value);
}  // namespace AppearanceChoices

}  // namespace kivo
