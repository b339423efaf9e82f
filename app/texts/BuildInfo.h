#pragma once

#include <QString>

namespace kivo::BuildInfo {

// The version of the build ("0.1.0"), as CMake's project() gives it.
QString version();
// The number of commits the build was configured from; "—" when built outside a git checkout.
QString buildNumber();

}  // namespace kivo::BuildInfo
