#pragma once

#include "features/settings/SettingsForm.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;

namespace kivo {

class AppSettings;
class LaunchAtLogin;

// Appearance, density, the colour-blind-safe palette and opening at login.
class GeneralPane : public SettingsForm {
  Q_OBJECT

 public:
  GeneralPane(LaunchAtLogin& launchAtLogin, AppSettings& settings, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fill();
  // The autostart entry as it is now; a refused change never shows as made.
  void readLogin();
  // Why the last change of opening at login was refused; empty hides the line.
  void showLoginFailure(const QString& reason);

  LaunchAtLogin& launchAtLogin_;
  AppSettings& settings_;
  QComboBox* appearance_ = nullptr;
  QComboBox* density_ = nullptr;
  QCheckBox* colorBlind_ = nullptr;
  QCheckBox* login_ = nullptr;
  QFormLayout* startup_ = nullptr;
  QLabel* loginFailure_ = nullptr;
};

}  // namespace kivo
