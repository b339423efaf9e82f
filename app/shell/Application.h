#pragma once

#include <QObject>

#include <memory>

class QApplication;

namespace kivo {

// Wires one run of the monitor: settings, the model, the desktop services that feed it, the
// windows, and quitting (however asked for) through the model's shutdown.
class Application : public QObject {
  Q_OBJECT
 public:
  explicit Application(QApplication& app);
  ~Application() override;

  // Shows the windows, starts sampling once they are up and runs the event loop; returns the
  // exit status after the history has been flushed.
  int run();

 private:
  struct Parts;
  QApplication& app_;
  std::unique_ptr<Parts> parts_;
};

}  // namespace kivo
