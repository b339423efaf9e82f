#pragma once

#include "features/settings/SettingsForm.h"

class QCheckBox;

namespace kivo {

class AppSettings;

// The privacy mask and what the program does with data.
class PrivacyPane : public SettingsForm {
  Q_OBJECT

 public:
  explicit PrivacyPane(AppSettings& settings, QWidget* parent = nullptr);

 private:
  void fill();

  AppSettings& settings_;
  QCheckBox* mask_ = nullptr;
};

}  // namespace kivo
