#pragma once

#include <QDir>
#include <QString>

#include <ostream>
#include <string>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace kivo::test {

// Root of the small /proc and /sys trees under tests/fixtures.
inline std::string fixture(const std::string& relative) {
  return std::string(KIVO_FIXTURES) + "/" + relative;
}

// Folder for files a test writes for a person to look at (PNGs, reports).
inline QString outputDir() {
  QDir().mkpath(QStringLiteral(KIVO_TEST_OUTPUT));
  return QStringLiteral(KIVO_TEST_OUTPUT);
}

}  // namespace kivo::test
