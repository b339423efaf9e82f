#pragma once

#include "design/Icons.h"

#include <QApplication>

namespace kivo::bench {

// Widgets, fonts and the PDF writer need an application object; the benchmark program has none
// of its own. One QApplication (which is also the GUI application the PDF writer wants) on the
// offscreen platform, kept for the life of the program: destroying it during static destruction
// is not safe.
inline void ensureApplication() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kivo-bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  Icons::initResources();
}

}  // namespace kivo::bench
