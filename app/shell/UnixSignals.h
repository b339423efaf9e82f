#pragma once

#include <QObject>

class QSocketNotifier;

namespace kivo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread (self-pipe),
// so quitting runs the normal shutdown instead of dying mid-write.
class UnixSignals : public QObject {
  Q_OBJECT
 public:
  explicit UnixSignals(QObject* parent = nullptr);
  ~UnixSignals() override;

 signals:
  void terminationRequested(int signalNumber);

 private:
  void readSignal();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kivo
