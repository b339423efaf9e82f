#include "TestSupport.h"

namespace kivo::test {

const std::string& fixturesRoot() {
  static const std::string root(KIVO_FIXTURES);
  return root;
}

const QString& outputRoot() {
  static const QString root = QStringLiteral(KIVO_TEST_OUTPUT);
  return root;
}

}  // namespace kivo::test
