#pragma once

#include <functional>

namespace kivo {

// What the tray's menu and panel ask of the application; the shell fills them in. An empty
// function does nothing, except togglePause, which then toggles the model's pause itself.
struct MenuBarActions {
  std::function<void()> openMain;      // show and raise the main window
  std::function<void()> openSettings;  // show and raise the settings window
  std::function<void()> quit;          // the orderly quit (stops the engine, flushes history)
  std::function<void()> togglePause;
};

}  // namespace kivo
