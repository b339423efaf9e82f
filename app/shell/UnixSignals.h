#pragma once

#include <QObject>

class QSocketNotifier;

namespace kivo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread (self-pipe),
// so quitting runs the normal shutdown instead of dying mid-write.
class UnixSignals : public QObject {
  Q_OBJECT
 public:
  // Catches the signals into the pipe; needs no application object, so main calls it before
  // building one. A signal caught before the object exists is delivered once its event loop runs.
  static void install();

  // Installs, if main did not, and hands what arrives to terminationRequested.
  explicit UnixSignals(QObject* parent = nullptr);
  ~UnixSignals() override;

 signals:
  void terminationRequested(int signalNumber);

 private:
  void readSignal();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kivo
