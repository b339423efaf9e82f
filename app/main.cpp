#include "shell/Application.h"
#include "shell/UnixSignals.h"

#include <QApplication>

int main(int argc, char** argv) {
  // First of all, even before the application object (whose construction takes a while), so a
  // quit asked for at any moment ends in a clean exit after whatever was started has stopped; a
  // signal before the event loop runs is handled once it does.
  kivo::UnixSignals::install();
  QApplication app(argc, argv);
  kivo::UnixSignals unixSignals;
  QObject::connect(&unixSignals, &kivo::UnixSignals::terminationRequested, &app, [] { QApplication::quit(); });
  kivo::Application application(app);
  return application.run();
}
