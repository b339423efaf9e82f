#include "texts/BuildInfo.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace kivo {
namespace {

// The version of the CMake project reaches the program; the build number is a count or "—".
TEST(BuildInfo, VersionAndBuildNumberComeFromTheBuild) {
  EXPECT_TRUE(
      QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(BuildInfo::version()).hasMatch())
      << BuildInfo::version().toStdString();
  EXPECT_NE(BuildInfo::version(), QStringLiteral("0.0.0")) << "the definition reached the source";
  const QString build = BuildInfo::buildNumber();
  EXPECT_TRUE(build == QStringLiteral("—") ||
              QRegularExpression(QStringLiteral("^[1-9]\\d*$")).match(build).hasMatch())
      << build.toStdString();
}

}  // namespace
}  // namespace kivo
