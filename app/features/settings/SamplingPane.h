#pragma once

#include "features/settings/IntervalSlider.h"
#include "features/settings/SettingsForm.h"

#include <array>

class QCheckBox;
class QFormLayout;
class QLabel;
class QSlider;

namespace kivo {

class AppSettings;
class MonitorModel;
struct TelemetryConfiguration;

// The four sampling intervals, the battery saver and the best-effort readings. A change of the
// sampling settings while the pane is shown hands them to the engine once.
class SamplingPane : public SettingsForm {
  Q_OBJECT

 public:
  SamplingPane(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);

 signals:
  // After each applySettings() the pane asked for.
  void settingsApplied();

 private:
  struct Row {
    IntervalSlider range;
    double TelemetryConfiguration::*field;
    QSlider* slider = nullptr;
    QLabel* value = nullptr;
  };

  void fill();
  void updateInterval();
  void chose(Row& row, int seconds);

  MonitorModel& model_;
  AppSettings& settings_;
  std::array<Row, 4> rows_;
  QCheckBox* saver_ = nullptr;
  QCheckBox* bestEffort_ = nullptr;
  QFormLayout* intervals_ = nullptr;
  QLabel* inForce_ = nullptr;
};

}  // namespace kivo
