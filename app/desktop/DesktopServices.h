#pragma once

#include "desktop/LaunchAtLogin.h"
#include "desktop/ProcessActions.h"

#include <memory>

namespace kivo {

// The desktop services that pages act through, owned in one place (the model) and handed to
// every page from there. Tests replace either with a fake.
struct DesktopServices {
  std::unique_ptr<LaunchAtLogin> launchAtLogin = std::make_unique<LaunchAtLogin>();
  std::unique_ptr<ProcessActions> processActions = std::make_unique<ProcessActions>();
};

}  // namespace kivo
