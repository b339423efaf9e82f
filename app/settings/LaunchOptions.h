#pragma once

#include "settings/Preferences.h"

#include <QSizeF>
#include <QString>

#include <optional>

namespace kivo {

// Options for interface tests and screenshot runs, read from the standard domain (launch
// arguments over the stored settings) anew on every call. They change nothing stored.
namespace LaunchOptions {

inline const QString kUITest = QStringLiteral("KIVOUITest");
inline const QString kInterval = QStringLiteral("KIVOInterval");
inline const QString kAppearance = QStringLiteral("KIVOAppearance");
inline const QString kPreset = QStringLiteral("KIVOPreset");
inline const QString kResizeTo = QStringLiteral("KIVOResizeTo");
inline const QString kPrivacy = QStringLiteral("KIVOPrivacy");
inline const QString kDataDir = QStringLiteral("KIVODataDir");

// KIVOUITest read as a Boolean.
bool testMode(const Preferences& standard);
// Test mode only: KIVOInterval as a number, at least 0.5; a text that is no finite number
// reads as 0 and so gives 0.5.
std::optional<double> interval(const Preferences& standard);
// Test mode only: the text as given; matching it is the caller's concern.
std::optional<QString> appearance(const Preferences& standard);
std::optional<QString> preset(const Preferences& standard);
// Always: "WIDTHxHEIGHT" with a lower-case x; empty pieces are dropped and pieces that are no
// decimal number skipped; exactly two positive numbers must remain.
std::optional<QSizeF> resizeTo(const Preferences& standard);

}  // namespace LaunchOptions

}  // namespace kivo
