#include <gtest/gtest.h>

#include <QLocale>

#ifdef KIVO_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

#include <clocale>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Tests see the same fixed world everywhere: English, UTC, offscreen.
  qputenv("TZ", "UTC");
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
#ifdef KIVO_TEST_GUI
  QApplication app(argc, argv);
#else
  QCoreApplication app(argc, argv);
#endif
  std::setlocale(LC_ALL, "C");
  return RUN_ALL_TESTS();
}
