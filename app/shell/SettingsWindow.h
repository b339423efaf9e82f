#pragma once

#include <QTabWidget>

namespace kivo {

class AppSettings;
class MonitorModel;

// The settings window: a tab widget named "settings", 600 × 520, holding the six panes.
class SettingsWindow : public QTabWidget {
  Q_OBJECT
 public:
  SettingsWindow(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
};

}  // namespace kivo
