#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QApplication;

namespace kivo {

class MonitorModel;
class Shell;

// Wires one run of the monitor: settings, the model, the desktop services that feed it, the
// windows, and quitting (however asked for) through the model's shutdown. A launch on a
// history that another instance already runs hands over to it and does nothing else.
class Application : public QObject {
  Q_OBJECT
 public:
  explicit Application(QApplication& app);
  // arguments as QCoreApplication::arguments() gives them.
  Application(QApplication& app, const QStringList& arguments);
  ~Application() override;

  // Shows the main window and runs the event loop; returns the exit status after the history
  // has been flushed. Returns 0 at once when another instance took over.
  int run();

  // True when another instance runs this history and was asked to show itself.
  bool handedOver() const;
  // Null after a hand-over.
  MonitorModel* model() const;
  Shell* shell() const;

 private:
  struct Parts;
  QApplication& app_;
  std::unique_ptr<Parts> parts_;
  bool openFailureReported_ = false;
};

}  // namespace kivo
