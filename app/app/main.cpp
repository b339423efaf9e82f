#include "app/UnixSignals.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KIVO Monitor"));
  QApplication::setOrganizationName(QStringLiteral("KIVO"));
  QApplication::setDesktopFileName(QStringLiteral("kivo-monitor"));
  kivo::UnixSignals unixSignals;
  QObject::connect(&unixSignals, &kivo::UnixSignals::terminationRequested, &app, [] { QApplication::quit(); });

  QMainWindow window;
  window.setWindowTitle(QStringLiteral("KIVO Monitor"));
  window.resize(1100, 720);
  window.show();

  return QApplication::exec();
}
