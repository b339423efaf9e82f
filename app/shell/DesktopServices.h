#pragma once

#include "desktop/LaunchAtLogin.h"
#include "desktop/ProcessActions.h"

#include <memory>

namespace kivo {

// The desktop services that pages act through, owned by the shell and handed to the pages that
// need one. Tests give a page a fake instead.
struct DesktopServices {
  std::unique_ptr<LaunchAtLogin> launchAtLogin = std::make_unique<LaunchAtLogin>();
  std::unique_ptr<ProcessActions> processActions = std::make_unique<ProcessActions>();
};

}  // namespace kivo
