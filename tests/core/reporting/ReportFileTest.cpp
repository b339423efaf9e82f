#include "ReportFixtures.h"

#include "reporting/ReportFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>

using namespace kivo;
using namespace kivo::test;

TEST(ReportFile, ExportsEveryFormat) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Report report = buildReport(systemInputs());
  const std::pair<ReportFile::Format, QByteArray> cases[] = {
      {ReportFile::Format::markdown,
       ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords()).toUtf8()},
      {ReportFile::Format::csv, ReportGenerator::csv(report).toUtf8()},
      {ReportFile::Format::json, ReportGenerator::json(report)},
  };
  for (const auto& [format, expected] : cases) {
    const QString path = dir.filePath("report");
    EXPECT_EQ(ReportFile::exportReport(report, format, path, englishFormatter(), identity(), plainWords()),
              std::nullopt);
    EXPECT_EQ(readFile(path), expected);
  }
}

TEST(ReportFile, FailureKeepsTheGoodFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("report.json");
  const Report good = buildReport(systemInputs());
  ASSERT_EQ(ReportFile::exportReport(good, ReportFile::Format::json, path, englishFormatter(), identity(),
                                     plainWords()),
            std::nullopt);
  const QByteArray before = readFile(path);

  // A report that cannot be encoded writes nothing and says why.
  Report bad = good;
  bad.series[0].points[0].max = INFINITY;
  const auto error = ReportFile::exportReport(bad, ReportFile::Format::json, path, englishFormatter(),
                                              identity(), plainWords());
  ASSERT_TRUE(error);
  EXPECT_TRUE(error->contains("inf")) << error->toStdString();
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.json"});

  // Unwritable places are reported, not ignored.
  for (const QString& place : {dir.filePath("missing/folder/report.md"), dir.path(), QString()}) {
    const auto failure = ReportFile::write(place, "text");
    ASSERT_TRUE(failure) << place.toStdString();
    EXPECT_FALSE(failure->isEmpty());
  }
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}
