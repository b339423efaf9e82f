#pragma once

#include <QUuid>
#include <QWidget>

namespace kivo {

class MonitorModel;

// A detached dashboard window, "Dashboard", with its own layout identifier (a fresh one from
// "New Dashboard Window"). Showing it starts sampling. Its page comes with the dashboard.
class DashboardWindow : public QWidget {
  Q_OBJECT
 public:
  DashboardWindow(MonitorModel& model, const QUuid& presetID, QWidget* parent = nullptr);
  const QUuid& presetID() const { return presetID_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  MonitorModel& model_;
  QUuid presetID_;
};

}  // namespace kivo
