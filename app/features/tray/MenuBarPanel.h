#pragma once

#include "features/tray/MenuBarActions.h"
#include "features/tray/MenuBarPanelPresenter.h"

#include <QWidget>

#include <array>
#include <map>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace kivo {

class AppSettings;
class MonitorModel;
class Sparkline;

// The tray's glance at the machine, 310 wide: thermal state and pause, the alerts now firing,
// CPU, memory, network and disk with sparklines, the battery, the four busiest processes, and
// buttons for the main window, the settings and quitting.
//
// Built once; while shown it updates in place from the model's change signals.
class MenuBarPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 310;

  // The model must outlive the panel.
  MenuBarPanel(MonitorModel& model, MenuBarActions actions, QWidget* parent = nullptr);

  // Reads the model again (also done once per tick and on a pause while shown).
  void refresh();
  const MenuBarPanelState& state() const { return state_; }
  // How often the panel read the model.
  int refreshes() const { return refreshes_; }

  // Sets density and the colour-blind-safe flag on a window's root from the settings, now and
  // whenever they change, for windows that hold the panel.
  static void followSettings(QWidget* root, const AppSettings& settings);

 signals:
  // A button that leaves the panel was pressed (open, settings, quit): a popup closes.
  void actionTriggered();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  struct TileView {
    QWidget* row = nullptr;
    QLabel* icon = nullptr;
    QLabel* title = nullptr;
    QLabel* value = nullptr;
    Sparkline* sparkline = nullptr;
  };
  struct AlertView {
    QWidget* row = nullptr;
    QLabel* icon = nullptr;
    QLabel* title = nullptr;
    Severity severity = Severity::warning;
  };
  struct ProcessView {
    QWidget* row = nullptr;
    QLabel* name = nullptr;
    QLabel* cpu = nullptr;
    QString fullName;
  };

  void build();
  void apply();
  // Colours and tinted icons resolved for the current palette and environment.
  void applyColors();
  void act(const std::function<void()>& action);

  MonitorModel& model_;
  MenuBarActions actions_;
  MenuBarPanelState state_;

  QLabel* thermal_ = nullptr;
  QToolButton* pause_ = nullptr;
  QWidget* alertsBox_ = nullptr;
  QVBoxLayout* alertsLayout_ = nullptr;
  std::map<QUuid, AlertView> alertRows_;
  std::array<TileView, 4> tiles_;
  QWidget* battery_ = nullptr;
  QLabel* batteryIcon_ = nullptr;
  QLabel* batteryState_ = nullptr;
  QLabel* batteryCharge_ = nullptr;
  QLabel* heading_ = nullptr;
  std::array<ProcessView, MenuBarPanelPresenter::kTopProcesses> processes_;
  std::array<QWidget*, 2> dividers_{};
  QPushButton* open_ = nullptr;
  QToolButton* settings_ = nullptr;
  QToolButton* quit_ = nullptr;
  int refreshes_ = 0;
};

}  // namespace kivo
