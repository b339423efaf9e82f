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
class TrayHost;

// The tray item: shown or not, and which indicators its tooltip lists. The tray shows a square
// icon here, so the label's mini charts change nothing and have no control.
class MenuBarPane : public SettingsForm {
  Q_OBJECT

 public:
  // host: the desktop's tray as the icon follows it; the "no tray" note follows it while the
  // pane is open. Null: no note.
  MenuBarPane(AppSettings& settings, const TrayHost* host, QWidget* parent = nullptr);

  // Whether the pane says the desktop shows no tray.
  bool showsNoTrayNote() const;

 private:
  void fill();
  void updateNote();

  AppSettings& settings_;
  const TrayHost* host_;
  QCheckBox* show_ = nullptr;
  QFormLayout* tray_ = nullptr;
  QLabel* noTray_ = nullptr;
  std::vector<std::pair<MenuBarItem, QCheckBox*>> indicators_;
};

}  // namespace kivo
