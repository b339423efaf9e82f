#include "shell/Application.h"
#include "shell/UnixSignals.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // First of all, so a quit asked for at any moment ends in a clean exit after whatever was
  // started has stopped; a signal before the event loop runs is handled once it does.
  kivo::UnixSignals unixSignals;
  QObject::connect(&unixSignals, &kivo::UnixSignals::terminationRequested, &app, [] { QApplication::quit(); });
  kivo::Application application(app);
  return application.run();
}
