#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <span>

namespace kivo {

class Preferences;

// The thirteen sections of the main window. The raw value is the value of KIVOSection and the
// suffix of the "sidebar." and "page." object names.
enum class AppSection {
  overview,
  cpu,
  gpu,
  memory,
  disk,
  network,
  processes,
  power,
  thermal,
  history,
  insights,
  alerts,
  reports,
};

namespace AppSections {

inline const QString kLaunchOption = QStringLiteral("KIVOSection");

// Declaration order.
std::span<const AppSection> allCases();
// The sidebar's "Hardware" and "Analysis" groups, in order.
std::span<const AppSection> hardware();
std::span<const AppSection> analysis();

QString rawValue(AppSection section);
// Exact, case-sensitive match.
std::optional<AppSection> fromRawValue(QStringView raw);
// The localisation key of the title ("Thermal & Sensors").
const char* titleKey(AppSection section);
// The symbol name the design system maps to an icon.
QString symbol(AppSection section);

// The section the main window opens on: KIVOSection (in any mode) when it names a section,
// else overview. Only read.
AppSection initial(const Preferences& standard);

}  // namespace AppSections

}  // namespace kivo
