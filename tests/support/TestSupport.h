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

// tests/fixtures and the build's test-output folder. Defined once, in TestPaths.cpp, so that no
// other test source compiles a checkout's path and a build in another folder reuses its objects.
const std::string& fixturesRoot();
const QString& outputRoot();

// Root of the small /proc and /sys trees under tests/fixtures.
inline std::string fixture(const std::string& relative) {
  return fixturesRoot() + "/" + relative;
}

// Folder for files a test writes for a person to look at (PNGs, reports).
inline QString outputDir() {
  QDir().mkpath(outputRoot());
  return outputRoot();
}

}  // namespace kivo::test
