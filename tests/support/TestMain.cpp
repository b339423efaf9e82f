#include <gtest/gtest.h>

#include <QByteArray>
#include <QLocale>

#ifdef KIVO_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include <clocale>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests see the same fixed world everywhere: English, UTC, offscreen. The few that need a
  // window system (a screen reader's bridge) name one in KIVO_TEST_PLATFORM.
  qputenv("TZ", "UTC");
  const QByteArray platform = qgetenv("KIVO_TEST_PLATFORM");
  qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#ifdef KIVO_TEST_GUI
  QApplication app(argc, argv);
#else
  QCoreApplication app(argc, argv);
#endif
  std::setlocale(LC_ALL, "C");
  return RUN_ALL_TESTS();
}
