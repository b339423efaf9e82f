#include "shell/Application.h"
#include "shell/UnixSignals.h"

#include "platform/UserFolders.h"

#include <QApplication>
#include <QFile>

#include <sys/resource.h>

#include <algorithm>

int main(int argc, char** argv) {
  // First of all, even before the application object (whose construction takes a while), so a
  // quit asked for at any moment ends in a clean exit after whatever was started has stopped; a
  // signal before the event loop runs is handled once it does.
  kivo::UnixSignals::install();
  // The process scan keeps each process's stat file open between scans; the default soft limit
  // of 1,024 open files would leave it little room on a busy desktop.
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
    ::setrlimit(RLIMIT_NOFILE, &files);
  }
  // Qt reads HOME alone: without it the file dialogs would keep their state under "/".
  if (qEnvironmentVariableIsEmpty("HOME")) qputenv("HOME", QFile::encodeName(kivo::UserFolders::home()));
  QApplication app(argc, argv);
  kivo::UnixSignals unixSignals;
  QObject::connect(&unixSignals, &kivo::UnixSignals::terminationRequested, &app,
                   [] { QApplication::quit(); });
  kivo::Application application(app);
  return application.run();
}
