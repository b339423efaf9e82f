#pragma once

#include "features/settings/SettingsForm.h"
#include "settings/MenuBarItem.h"

#include <functional>
#include <vector>

class QCheckBox;
class QFormLayout;
class QLabel;

namespace kivo {

class AppSettings;

// The tray item: shown or not, mini charts, and which indicators its label draws.
class MenuBarPane : public SettingsForm {
  Q_OBJECT

 public:
  // trayAvailable: whether the desktop has a tray to show the item in (asked on every showing).
  MenuBarPane(AppSettings& settings, std::function<bool()> trayAvailable, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fill();

  AppSettings& settings_;
  std::function<bool()> trayAvailable_;
  QCheckBox* show_ = nullptr;
  QCheckBox* graphs_ = nullptr;
  QFormLayout* tray_ = nullptr;
  QLabel* noTray_ = nullptr;
  std::vector<std::pair<MenuBarItem, QCheckBox*>> indicators_;
};

}  // namespace kivo
