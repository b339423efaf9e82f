#pragma once

#include <QTabWidget>

namespace kivo {

// The settings window: a tab widget named "settings", 600 × 520. Its panes are added by the
// settings page when it exists.
class SettingsWindow : public QTabWidget {
  Q_OBJECT
 public:
  explicit SettingsWindow(QWidget* parent = nullptr);
};

}  // namespace kivo
