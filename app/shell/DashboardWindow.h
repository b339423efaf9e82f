#pragma once

#include <QUuid>
#include <QWidget>

namespace kivo {

class AppCommands;
class DashboardPage;
class MonitorModel;

// A detached dashboard window, "Dashboard", with its own layout identifier (a fresh one from
// "New Dashboard Window", which then shows the first preset). Showing it starts sampling.
class DashboardWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr QSize kMinimumSize{420, 300};
  static constexpr QSize kDefaultSize{900, 620};

  // commands: the application's File and Monitor menus, shared with its other windows (null:
  // none); they must outlive the window.
  DashboardWindow(MonitorModel& model, const QUuid& presetID, const AppCommands* commands = nullptr,
                  QWidget* parent = nullptr);
  // The id the window was opened with; its page adopts the id of the preset it shows when this
  // one names none.
  const QUuid& presetID() const { return presetID_; }
  DashboardPage* page() const { return page_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // Tab and Shift+Tab go through the page in the order it is shown.
  bool focusNextPrevChild(bool next) override;

 private:
  MonitorModel& model_;
  QUuid presetID_;
  DashboardPage* page_ = nullptr;
};

}  // namespace kivo
