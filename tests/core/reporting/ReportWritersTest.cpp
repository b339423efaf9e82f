#include "ReportFixtures.h"

#include "reporting/JsonWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cmath>

using namespace kivo;
using namespace kivo::test;

namespace {

// Compares with tests/fixtures/reports/<name>; KIVO_UPDATE_REPORTS=1 rewrites the expected file
// (to be read through before committing). A mismatch leaves the actual text in the output folder.
void expectMatchesFixture(const QByteArray& actual, const QString& name) {
  const QString path = QString::fromStdString(fixture("reports/")) + name;
  if (qEnvironmentVariableIntValue("KIVO_UPDATE_REPORTS") == 1) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(actual);
    return;
  }
  const QByteArray expected = readFile(path);
  ASSERT_FALSE(expected.isEmpty()) << "missing fixture " << path.toStdString();
  if (actual != expected) {
    QFile out(outputDir() + u'/' + name);
    if (out.open(QIODevice::WriteOnly)) out.write(actual);
    ADD_FAILURE() << name.toStdString() << " differs from its fixture; actual text in "
                  << out.fileName().toStdString();
  }
}

// The expected files test the writers, so the catalogue's texts, which change as collectors
// learn new sources, are replaced by fixed ones.
Report pinned(const ReportInputs& inputs) {
  Report report = buildReport(inputs);
  for (auto& s : report.series) {
    const QString key = Metric::keyString(s.metric);
    s.source = QStringLiteral("/proc/") + key;
    s.method = QStringLiteral("How ") + key + QStringLiteral(" is measured.");
  }
  return report;
}

struct Named {
  const char* name;
  ReportInputs (*inputs)();
};

const Named kFixtureReports[] = {
    {"system", systemInputs}, {"incident", incidentInputs}, {"empty", emptyInputs}};

}  // namespace

TEST(ReportWriters, FixtureReports) {
  for (const auto& named : kFixtureReports) {
    SCOPED_TRACE(named.name);
    const Report report = pinned(named.inputs());
    const QString base = QString::fromLatin1(named.name);
    expectMatchesFixture(
        ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords()).toUtf8(),
        base + ".md");
    expectMatchesFixture(ReportGenerator::csv(report).toUtf8(), base + ".csv");
    expectMatchesFixture(ReportGenerator::json(report), base + ".json");
  }
}

TEST(ReportWriters, MarkdownSections) {
  const Report system = buildReport(systemInputs());
  const QString md = ReportGenerator::markdown(system, englishFormatter(), identity(), plainWords());
  EXPECT_TRUE(md.startsWith("# System Overview Report\n\nKIVO Monitor 0.1.0 · Generated "));
  EXPECT_TRUE(md.contains(
      "\n## Findings\n\n| Finding | Severity | Start | Duration | Peak | Threshold | Samples | Details |\n"));
  // The finding's own words and its figures as its kind means them, never its internal key.
  EXPECT_TRUE(
      md.contains(QStringLiteral("| Title of processSpikes “cc1plus” | Critical | Mar 1, 2026, 1:40:00 PM | "
                                 "23 min | 180% | 50 | 4 | Occasions: 1. |\n")));
  EXPECT_TRUE(
      md.contains("| Title of sustainedCPU | Warning | Mar 1, 2026, 1:50:00 PM | 10 min | 97.3% | 80.0% | "));
  EXPECT_TRUE(md.contains("\n## Data gaps\n\n| Metric | Gaps | Total missing | Longest |\n"));
  // A hostile process name stays inside its cell: every line of a table starts and ends with a bar.
  const QStringList lines = md.split(u'\n');
  bool inTable = false;
  for (const auto& line : lines) {
    if (line.startsWith("| ")) {
      inTable = true;
    } else if (line.isEmpty()) {
      inTable = false;
    } else if (inTable) {
      ADD_FAILURE() << "table broken by: " << line.toStdString();
    }
    if (inTable) {
      EXPECT_TRUE(line.endsWith(" |")) << line.toStdString();
    }
  }
  EXPECT_TRUE(md.contains("| evil\\|name\u21B5second line | 77 | "));
  EXPECT_TRUE(md.contains("| Data\\|Backup | btrfs | "));

  const Report empty = buildReport(emptyInputs());
  const QString plain = ReportGenerator::markdown(empty, englishFormatter(), identity(), plainWords());
  EXPECT_FALSE(plain.contains("## Findings"));
  // A series without points: three dashes, 0 samples and its step as resolution.
  EXPECT_TRUE(plain.contains("| Network download | — | — | — | 0 | 4 min | derived |\n"))
      << plain.toStdString();
}

TEST(ReportWriters, MarkdownHeadingsAndItemsStayOnTheirLine) {
  // Texts read back from a JSON file can hold anything.
  Report report = buildReport(emptyInputs());
  report.title = QStringLiteral("Title\n# Injected");
  report.tables.push_back(ReportTable{QStringLiteral("Two\r\nlines"), {"A"}, {}});
  report.limitations = {QStringLiteral("first\nsecond")};
  const QString md = ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords());
  EXPECT_TRUE(md.startsWith("# Title\u21B5# Injected\n\n"));
  EXPECT_TRUE(md.contains("\n## Two\u21B5lines\n\n| A |\n| --- |\n"));
  EXPECT_TRUE(md.endsWith("\n- first\u21B5second\n"));
}

TEST(ReportWriters, MarkdownShowsOutsideTextAsItIs) {
  // Process names, the host name and notes are anyone's text: no link, image, HTML or emphasis.
  const QString link = QStringLiteral("[x](javascript:alert(1))");
  const QString html = QStringLiteral("<img src=x onerror=alert(1)>");
  Report report = buildReport(emptyInputs());
  report.title = html;
  report.system = {{QStringLiteral("Host"), QStringLiteral("*host*_&amp;~~")}};
  report.tables.push_back(
      ReportTable{QStringLiteral("Top processes"), {"Name"}, {{link}, {html}, {"`a|b`"}}});
  report.limitations = {QStringLiteral("note ") + link};
  const QString md = ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords());
  EXPECT_TRUE(md.startsWith(QStringLiteral("# \\<img src=x onerror=alert(1)\\>\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("| Host | \\*host\\*\\_\\&amp;\\~\\~ |\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("| \\[x\\](javascript:alert(1)) |\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("| \\<img src=x onerror=alert(1)\\> |\n")));
  // A whole code span shows literally already; only its bar would end the cell.
  EXPECT_TRUE(md.contains(QStringLiteral("| `a\\|b` |\n")));
  EXPECT_TRUE(md.endsWith(QStringLiteral("- note \\[x\\](javascript:alert(1))\n")));
  // Every angle bracket and square bracket is escaped.
  EXPECT_FALSE(md.contains(QRegularExpression(QStringLiteral(R"((^|[^\\])[<\[])")))) << md.toStdString();
}

// A name built to reorder what follows it shows its controls in Markdown, as on screen; the
// JSON keeps the exact name as data.
TEST(ReportWriters, BidiControlsAreShownInMarkdownAndKeptInJson) {
  const QString spoof = QStringLiteral("rtl\u202Etxt.exe");
  Report report = buildReport(emptyInputs());
  report.system = {{QStringLiteral("Host name"), QStringLiteral("\u05E9\u05E8\u05EA")}};
  report.tables.push_back(ReportTable{
      QStringLiteral("Top processes"), {"Name", "PID"}, {{spoof, "26663"}, {"   ", "7"}, {"", "8"}}});
  const QString md = ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords());
  EXPECT_TRUE(md.contains(QStringLiteral("| rtl\u2039U+202E\u203Atxt.exe | 26663 |\n"))) << md.toStdString();
  EXPECT_TRUE(md.contains(QStringLiteral("| Host name | \u2068\u05E9\u05E8\u05EA\u2069 |\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("| \u201C   \u201D | 7 |\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("|  | 8 |\n"))) << "an empty cell is no text";
  EXPECT_FALSE(md.contains(QChar(0x202E)));

  const Report back = ReportGenerator::decode(ReportGenerator::json(report));
  ASSERT_FALSE(back.tables.empty());
  EXPECT_EQ(back.tables.back().rows.front().front(), spoof);
  EXPECT_EQ(back.system.front().back(), QStringLiteral("\u05E9\u05E8\u05EA"));
}

TEST(ReportWriters, MarkdownWithoutGapsAndLimitations) {
  Report report = buildReport(systemInputs());
  for (auto& s : report.series) s.gaps.clear();
  report.limitations.clear();
  report.findings.clear();
  const QString md = ReportGenerator::markdown(report, englishFormatter(), identity(), plainWords());
  EXPECT_TRUE(md.contains("\n## Data gaps\n\nNo gap in the selected period.\n\n## Limitations"));
  EXPECT_TRUE(md.endsWith("\n## Limitations\n\n\n"));
}

TEST(ReportWriters, CollectionMethodsKeepTechnicalTexts) {
  const Report report = buildReport(systemInputs());
  const Localize german = [](const QString& s) { return s == "Metric" ? QStringLiteral("Metrik") : s + "*"; };
  const QString md = ReportGenerator::markdown(report, englishFormatter(), german, plainWords());
  const auto& cpu = report.series[0];
  const QString row = "| " + cpu.name + " | percent | `" + cpu.source + "` | " + cpu.method + " |\n";
  EXPECT_TRUE(md.contains(row)) << row.toStdString();
  EXPECT_TRUE(md.contains("| Metrik | Unit\\* | Source\\* | Method\\* |\n"));
}

TEST(ReportWriters, CsvLines) {
  Report report = buildReport(emptyInputs());
  EXPECT_EQ(ReportGenerator::csv(report),
            QStringLiteral(
                "metric,name,unit,quality,tier,bucket_seconds,timestamp_iso8601,timestamp_unix,min,avg,max,"
                "samples\n"));

  report.series.resize(1);
  auto& s = report.series[0];
  s.name = QStringLiteral("Down, \"fast\"");
  s.step = 60;
  s.points = {SeriesPoint{1772373900.5, 0.1, 1e16, 2.5e-5, 3}, SeriesPoint{1772373960, 0, 60, 1.0 / 3.0, 1}};
  const QStringList lines = ReportGenerator::csv(report).split(u'\n');
  ASSERT_EQ(lines.size(), 4);  // header, two points, and the empty text after the last line feed
  EXPECT_EQ(lines[1], QStringLiteral("network.down,\"Down, \"\"fast\"\"\",bytesPerSecond,derived,minute,60.0,"
                                     "2026-03-01T14:05:00Z,1772373900.500,0.1,2.5e-05,1e+16,3"));
  EXPECT_EQ(lines[2], QStringLiteral("network.down,\"Down, \"\"fast\"\"\",bytesPerSecond,derived,minute,60.0,"
                                     "2026-03-01T14:06:00Z,1772373960.000,0.0,0.3333333333333333,60.0,1"));
  s.name = QStringLiteral("Plain name");
  EXPECT_TRUE(ReportGenerator::csv(report).contains("\nnetwork.down,Plain name,bytesPerSecond,"));
}

TEST(ReportWriters, JsonFailsOnNonFiniteNumbers) {
  Report report = buildReport(systemInputs());
  report.series[3].points[1].avg = std::nan("");
  EXPECT_THROW(ReportGenerator::json(report), JsonEncodingError);
  report = buildReport(systemInputs());
  report.samplingInterval = INFINITY;
  EXPECT_THROW(ReportGenerator::json(report), JsonEncodingError);
}
