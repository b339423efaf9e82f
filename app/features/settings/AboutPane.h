#pragma once

#include "features/settings/SettingsForm.h"

class QLabel;

namespace kivo {

class MonitorModel;

// Who the program is, what it knows of this computer, and what it costs, measured live.
class AboutPane : public SettingsForm {
  Q_OBJECT

 public:
  explicit AboutPane(MonitorModel& model, QWidget* parent = nullptr);

 private:
  void updateFootprint();

  MonitorModel& model_;
  QLabel* cpu_ = nullptr;
  QLabel* memory_ = nullptr;
  QLabel* collection_ = nullptr;
};

}  // namespace kivo
