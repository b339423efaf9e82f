#include "features/reports/ReportBuilding.h"
#include "features/reports/ReportFormat.h"
#include "features/reports/ReportsPresenter.h"
#include "reporting/ReportGenerator.h"
#include "texts/FindingText.h"

#include "LocalZone.h"
#include "ReportFixtures.h"
#include "ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>

namespace kivo {
namespace {

using test::englishFormatter;
using test::identity;
using test::utc;

const QDateTime kNow = utc(1'781'000'000);

TEST(ReportPeriodTest, EveryKindAndRangeGivesItsSpan) {
  struct Case {
    const char* what;
    ReportKind kind;
    HistoryRange range;
    QDateTime incident;
    QDateTime from;
    QDateTime to;
  };
  const Case cases[] = {
      {"hour", ReportKind::cpu, HistoryRange::hour, kNow, kNow.addSecs(-3600), kNow},
      {"week", ReportKind::system, HistoryRange::week, kNow, kNow.addSecs(-604'800), kNow},
      {"year", ReportKind::network, HistoryRange::year, kNow, kNow.addSecs(-31'536'000), kNow},
      {"incident an hour ago", ReportKind::incident, HistoryRange::year, kNow.addSecs(-3600),
       kNow.addSecs(-5400), kNow.addSecs(-1800)},
      {"incident ten minutes ago ends now", ReportKind::incident, HistoryRange::hour, kNow.addSecs(-600),
       kNow.addSecs(-2400), kNow},
      // The clock went back since the moment was chosen: the moment counts as now.
      {"incident in the future", ReportKind::incident, HistoryRange::hour, kNow.addSecs(7200),
       kNow.addSecs(-1800), kNow},
  };
  for (const Case& c : cases) {
    const ReportPeriod period = ReportBuilding::period(c.kind, c.range, c.incident, kNow);
    EXPECT_EQ(period.from, c.from) << c.what;
    EXPECT_EQ(period.to, c.to) << c.what;
    EXPECT_LE(period.from, period.to) << c.what;
  }
}

TEST(ReportPeriodTest, IdentityChangesWithTheMinuteNotWithinIt) {
  ReportChoices choices;
  choices.incidentDate = utc(1'781'000'045);  // 5 s into a minute
  const QString first = choices.identity();
  EXPECT_EQ(first, QStringLiteral("system|hour|29683334|false|0"));
  choices.incidentDate = utc(1'781'000'099);
  EXPECT_EQ(choices.identity(), first);
  choices.incidentDate = utc(1'781'000'100);
  EXPECT_NE(choices.identity(), first);
  choices = {};
  choices.incidentDate = utc(1'781'000'045);
  choices.refresh = 1;
  EXPECT_NE(choices.identity(), first) << "Refresh rebuilds with unchanged choices";
}

TEST(ReportPeriodTest, FindingsOverlappingThePeriodByAnyAmountAreKept) {
  const ReportPeriod period{kNow.addSecs(-3600), kNow};
  const qint64 from = period.from.toSecsSinceEpoch();
  const qint64 to = period.to.toSecsSinceEpoch();
  std::vector<Finding> findings;
  auto add = [&](qint64 start, qint64 end) {
    findings.push_back(test::finding(FindingKind::sustainedCPU, Severity::warning, MetricID::cpuTotal, start,
                                     end, 80, 95, 90, 30));
  };
  add(from - 600, from - 1);   // ended before: out
  add(from - 600, from);       // ends at the start: in
  add(from + 60, from + 120);  // inside: in
  add(to, to + 600);           // starts at the end: in
  add(to + 1, to + 600);       // started after: out
  const auto kept = ReportBuilding::findingsIn(findings, period);
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0].end, period.from);
  EXPECT_EQ(kept[2].start, period.to);
}

TEST(ReportFormatTest, ProposedNameCarriesTheKindAndTheUtcDate) {
  Report report;
  report.kind = ReportKind::cpu;
  report.generated = QDateTime(QDate(2026, 12, 9), QTime(12, 0), QTimeZone::utc());
  EXPECT_EQ(ReportFormats::proposedFileName(report, ReportFormat::csv),
            QStringLiteral("KIVO-Monitor-cpu-2026-12-09.csv"));
  EXPECT_EQ(ReportFormats::proposedFileName(report, ReportFormat::markdown),
            QStringLiteral("KIVO-Monitor-cpu-2026-12-09.md"));
  // Late evening west of UTC is already the next day in UTC.
  report.kind = ReportKind::incident;
  report.generated = QDateTime(QDate(2026, 12, 9), QTime(22, 30), QTimeZone(-5 * 3600));
  EXPECT_EQ(ReportFormats::proposedFileName(report, ReportFormat::pdf),
            QStringLiteral("KIVO-Monitor-incident-2026-12-10.pdf"));
}

TEST(ReportsPresenterTest, MetricTableShowsADashForAbsentFigures) {
  ReportInputs inputs = test::systemInputs();
  inputs.series.push_back(test::emptySeries(MetricID::gpuUtilization, test::kEnd - 3600, test::kEnd));
  const Report report = ReportGenerator::build(inputs, englishFormatter(), identity(), utc(test::kEnd));
  const ReportTable table = ReportsPresenter::metricTable(report, englishFormatter());
  ASSERT_EQ(table.rows.size(), static_cast<qsizetype>(report.series.size()));
  EXPECT_EQ(table.headers,
            (QStringList{"Metric", "Minimum", "Average", "Maximum", "Samples", "Resolution", "Gaps"}));
  const QStringList& cpu = table.rows.front();
  EXPECT_EQ(cpu[0], report.series.front().name);
  EXPECT_NE(cpu[1], QStringLiteral("—"));
  EXPECT_EQ(cpu[4], QString::number(report.series.front().sampleCount));
  EXPECT_EQ(cpu[5], englishFormatter().duration(60));
  EXPECT_EQ(cpu[6], QStringLiteral("2"));
  const QStringList& gpu = table.rows.back();
  EXPECT_EQ(gpu.mid(1, 3), (QStringList{"—", "—", "—"}));
  EXPECT_EQ(gpu[4], QStringLiteral("0"));
}

TEST(ReportsPresenterTest, ExportBytesAreTheWritersOutput) {
  const Report report =
      ReportGenerator::build(test::systemInputs(), englishFormatter(), identity(), utc(test::kEnd));
  const auto markdown =
      ReportsPresenter::exportData(report, ReportFormat::markdown, englishFormatter(), identity());
  const auto csv = ReportsPresenter::exportData(report, ReportFormat::csv, englishFormatter(), identity());
  const auto json = ReportsPresenter::exportData(report, ReportFormat::json, englishFormatter(), identity());
  const auto pdf = ReportsPresenter::exportData(report, ReportFormat::pdf, englishFormatter(), identity());
  EXPECT_EQ(markdown.bytes, ReportGenerator::markdown(report, englishFormatter(), identity(),
                                                      FindingText::words(englishFormatter()))
                                .toUtf8());
  EXPECT_EQ(csv.bytes, ReportGenerator::csv(report).toUtf8());
  EXPECT_EQ(json.bytes, ReportGenerator::json(report));
  ASSERT_TRUE(pdf.bytes);
  EXPECT_TRUE(pdf.bytes->startsWith("%PDF-"));
}

TEST(ReportsPresenterTest, AReportThatCannotBeEncodedGivesNoBytesAndSaysWhy) {
  Report report =
      ReportGenerator::build(test::systemInputs(), englishFormatter(), identity(), utc(test::kEnd));
  report.series.front().average = std::numeric_limits<double>::quiet_NaN();
  const auto json = ReportsPresenter::exportData(report, ReportFormat::json, englishFormatter(), identity());
  EXPECT_FALSE(json.bytes);
  EXPECT_TRUE(json.error.startsWith(QStringLiteral("The report could not be written as JSON")))
      << json.error.toStdString();
}

class ComparisonTest : public ::testing::Test {
 protected:
  QString save(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  QString saveReport(const QString& name, ReportKind kind, qint64 end) {
    ReportInputs inputs = test::systemInputs();
    inputs.kind = kind;
    inputs.from = utc(end - 3600);
    inputs.to = utc(end);
    std::vector<Series> series;
    for (MetricID metric : ReportKinds::metrics(kind)) series.push_back(test::threePoints(metric, 40, 2));
    inputs.series = series;
    return save(name, ReportGenerator::json(
                          ReportGenerator::build(inputs, englishFormatter(), identity(), utc(end))));
  }
  ComparisonOutcome compare(const QStringList& paths) {
    return ReportsPresenter::compare(paths, englishFormatter(), identity());
  }
  QTemporaryDir dir;
};

TEST_F(ComparisonTest, ChoicesThatAreNotTwoReportsGiveTheirMessage) {
  const QString a = saveReport("a.json", ReportKind::system, test::kEnd);
  const QString b = saveReport("b.json", ReportKind::system, test::kEnd + 3600);
  QJsonObject lacking = QJsonDocument::fromJson(test::readAll(b)).object();
  lacking.remove(QStringLiteral("limitations"));
  const QString missingKey = save("missing-key.json", QJsonDocument(lacking).toJson());
  const QString other = save("other.json", R"({"name": "not a report"})");
  const QString garbage = save("garbage.json", "\x01\x02 not json");
  QByteArray huge = test::readAll(a);
  huge.append(QByteArray(ReportsPresenter::kMaxReportFileBytes, ' '));
  const QString oversized = save("huge.json", huge);

  const QString notTwo = QStringLiteral("Select exactly two reports.");
  const QString notReport = QStringLiteral("One of the files is not a KIVO Monitor report.");
  const struct {
    QStringList paths;
    QString message;
  } cases[] = {
      {{a}, notTwo},
      {{a, b, a}, notTwo},
      {{a, other}, notReport},
      {{missingKey, a}, notReport},
      {{a, garbage}, notReport},
      {{a, dir.filePath("absent.json")}, notReport},
      // Refused for its size, and told so: it was never read as JSON.
      {{oversized, b},
       QStringLiteral("One of the files is too large to be a KIVO Monitor report (more than 16.0 MiB).")},
  };
  for (const auto& c : cases) {
    const ComparisonOutcome outcome = compare(c.paths);
    EXPECT_FALSE(outcome.comparison) << c.paths.join(' ').toStdString();
    EXPECT_EQ(outcome.message, c.message) << c.paths.join(' ').toStdString();
  }
}

// A hand-made report with figures no machine gives (an average of 1e308 bytes, a negative
// maximum) is refused as not a report rather than shown clamped or hundreds of digits long;
// texts from a file are shown in their visible form.
TEST_F(ComparisonTest, ImpossibleFiguresAreRefusedAndTextsFromTheFileShownVisibly) {
  const QString a = saveReport("a.json", ReportKind::memory, test::kEnd);
  const QString b = saveReport("b.json", ReportKind::memory, test::kEnd + 3600);
  const auto withSeries = [&](const QString& name, const QString& from,
                              const std::function<void(QJsonObject&)>& edit) {
    QJsonObject report = QJsonDocument::fromJson(test::readAll(from)).object();
    QJsonArray series = report.value(QStringLiteral("series")).toArray();
    QJsonObject first = series.at(0).toObject();
    edit(first);
    series.replace(0, first);
    report.insert(QStringLiteral("series"), series);
    return save(name, QJsonDocument(report).toJson());
  };
  const QString huge = withSeries("huge.json", b, [](QJsonObject& s) {
    ASSERT_EQ(s.value(QStringLiteral("unit")).toString(), QStringLiteral("bytes"));
    s.insert(QStringLiteral("average"), 1e308);
  });
  const QString negative =
      withSeries("negative.json", b, [](QJsonObject& s) { s.insert(QStringLiteral("maximum"), -4096); });
  for (const QString& bad : {huge, negative}) {
    const ComparisonOutcome outcome = compare({a, bad});
    EXPECT_FALSE(outcome.comparison) << bad.toStdString();
    EXPECT_EQ(outcome.message, QStringLiteral("One of the files is not a KIVO Monitor report."));
  }
  // From the earlier file (A), whose names the rows show.
  const QString spoofed = withSeries("spoofed.json", a, [](QJsonObject& s) {
    s.insert(QStringLiteral("name"), QStringLiteral("Memory\u202E desu"));
  });
  const ComparisonOutcome outcome = compare({b, spoofed});
  ASSERT_TRUE(outcome.comparison);
  ASSERT_FALSE(outcome.comparison->table.rows.isEmpty());
  EXPECT_EQ(outcome.comparison->table.rows.front().front(), QStringLiteral("Memory\u2039U+202E\u203A desu"));
}

TEST_F(ComparisonTest, TheEarlierReportIsAWhicheverOrderTheyAreChosenIn) {
  const QString early = saveReport("early.json", ReportKind::system, test::kEnd);
  const QString late = saveReport("late.json", ReportKind::memory, test::kEnd + 86'400);
  const ComparisonOutcome outcome = compare({late, early});
  ASSERT_TRUE(outcome.comparison);
  EXPECT_FALSE(outcome.message);
  EXPECT_EQ(outcome.comparison->nameA, englishFormatter().date(utc(test::kEnd - 3600)));
  EXPECT_EQ(outcome.comparison->nameB, englishFormatter().date(utc(test::kEnd + 86'400 - 3600)));
  // The system report (A) decides the order; only the metrics both cover have rows.
  QStringList names;
  for (const QStringList& row : outcome.comparison->table.rows) names.append(row.front());
  EXPECT_EQ(names, (QStringList{"Memory used", "Memory pressure level", "Swap used"}));
  EXPECT_EQ(ReportsPresenter::comparisonNames(*outcome.comparison),
            QStringLiteral("A: %1   ·   B: %2").arg(outcome.comparison->nameA, outcome.comparison->nameB));
}

TEST_F(ComparisonTest, ReportsWithTheSameStartKeepTheChosenOrder) {
  const QString first = saveReport("first.json", ReportKind::cpu, test::kEnd);
  const QString second = saveReport("second.json", ReportKind::system, test::kEnd);
  const ComparisonOutcome outcome = compare({first, second});
  ASSERT_TRUE(outcome.comparison);
  // A is the CPU report: its four metrics in its order, of which the system report has one.
  ASSERT_EQ(outcome.comparison->table.rows.size(), 1);
  EXPECT_EQ(outcome.comparison->table.rows.front().front(), QStringLiteral("CPU usage"));
}

TEST_F(ComparisonTest, ReportsWithoutASharedMetricGiveAnEmptyTableAndSaySo) {
  const ComparisonOutcome outcome = compare({saveReport("cpu.json", ReportKind::cpu, test::kEnd),
                                             saveReport("net.json", ReportKind::network, test::kEnd)});
  ASSERT_TRUE(outcome.comparison);
  EXPECT_TRUE(outcome.comparison->table.rows.isEmpty());
  EXPECT_FALSE(outcome.comparison->table.headers.isEmpty());
  EXPECT_EQ(outcome.message, QStringLiteral("The two reports share no metric."));
}

// The Markdown and JSON keep what the card and the PDF say of a finding: its title, its figures
// formatted as its kind means them, and the processes that ran at once.
TEST(ReportsPresenterTest, ExportedFindingsKeepTheirWordsAndFigures) {
  Report report =
      ReportGenerator::build(test::emptyInputs(), englishFormatter(), identity(), utc(test::kEnd));
  Finding spikes = test::finding(FindingKind::processSpikes, Severity::info, MetricID::cpuTotal,
                                 test::kEnd - 3600, test::kEnd, 3, 196.2, 150, 4, QStringLiteral("xz"));
  spikes.occurrences = 3;
  spikes.concurrent = 2;
  const Finding swap =
      test::finding(FindingKind::swapGrowth, Severity::warning, MetricID::swapUsed, test::kEnd - 7200,
                    test::kEnd, 2147483648.0, 4294967296.0, 3221225472.0, 120);
  const Finding disk = test::finding(FindingKind::diskExhaustion, Severity::critical, MetricID::diskFree,
                                     test::kEnd - 86400, test::kEnd, 14, 4e10, 5e9, 24);
  report.findings = {spikes, swap, disk};

  const auto markdown =
      ReportsPresenter::exportData(report, ReportFormat::markdown, englishFormatter(), identity());
  ASSERT_TRUE(markdown.bytes);
  const QString md = QString::fromUtf8(*markdown.bytes);
  EXPECT_TRUE(md.contains(
      QStringLiteral("| Finding | Severity | Start | Duration | Peak | Threshold | Samples | Details |")));
  const struct {
    const Finding& finding;
    const char* cells;  // severity to samples
  } rows[] = {
      {spikes, " | Info | Mar 1, 2026, 1:05:00 PM | 1 h | 196% | 3 | 4 | "},
      {swap, " | Warning | Mar 1, 2026, 12:05:00 PM | 2 h | 4.0 GiB | 2.0 GiB | 120 | "},
      {disk, " | Critical | Feb 28, 2026, 2:05:00 PM | 1 d | 40.0 GB | 14 d | 24 | "},
  };
  for (const auto& row : rows) {
    // Markdown escapes the marks of the title and the sentence; these hold none but quotes.
    const QString line = QStringLiteral("| ") + FindingText::title(row.finding) +
                         QString::fromUtf8(row.cells) +
                         FindingText::explanation(row.finding, englishFormatter()) + QStringLiteral(" |\n");
    EXPECT_TRUE(md.contains(line)) << line.toStdString() << "\n" << md.toStdString();
  }
  EXPECT_TRUE(md.contains(QStringLiteral("on 3 occasions, up to 2 processes at once")));
  for (const char* internal : {"processSpikes", "swapGrowth", "(xz)", "3.0 |", "2,147,483,648"})
    EXPECT_FALSE(md.contains(QString::fromUtf8(internal))) << internal;

  const auto json = ReportsPresenter::exportData(report, ReportFormat::json, englishFormatter(), identity());
  ASSERT_TRUE(json.bytes);
  const QJsonObject first =
      QJsonDocument::fromJson(*json.bytes).object().value("findings").toArray().at(0).toObject();
  EXPECT_EQ(first.value("concurrent").toInteger(), 2);
  EXPECT_EQ(first.value("occurrences").toInteger(), 3);
  const Report back = ReportGenerator::decode(*json.bytes);
  EXPECT_EQ(back.findings, report.findings);
  EXPECT_FALSE(back.findings[1].concurrent);
}

// A moment typed into the incident picker on the nights the clocks change in Berlin: 2:30 shown
// twice in autumn is the first (CEST), 2:30 skipped in spring is 3:30 CEST, others are as typed.
TEST(ReportPeriodTest, ATypedIncidentMomentOnTheNightsTheClocksChange) {
  const test::LocalZone berlin("Europe/Berlin");
  const struct {
    QDate date;
    QTime time;
    QDateTime moment;
  } cases[] = {
      {QDate(2026, 10, 25), QTime(2, 30), QDateTime(QDate(2026, 10, 25), QTime(0, 30), QTimeZone::utc())},
      {QDate(2026, 10, 25), QTime(2, 0), QDateTime(QDate(2026, 10, 25), QTime(0, 0), QTimeZone::utc())},
      {QDate(2026, 10, 25), QTime(3, 0), QDateTime(QDate(2026, 10, 25), QTime(2, 0), QTimeZone::utc())},
      {QDate(2026, 10, 25), QTime(1, 59), QDateTime(QDate(2026, 10, 24), QTime(23, 59), QTimeZone::utc())},
      {QDate(2026, 3, 29), QTime(2, 30), QDateTime(QDate(2026, 3, 29), QTime(1, 30), QTimeZone::utc())},
      {QDate(2026, 3, 29), QTime(1, 30), QDateTime(QDate(2026, 3, 29), QTime(0, 30), QTimeZone::utc())},
      {QDate(2026, 7, 1), QTime(12, 0, 30, 250),
       QDateTime(QDate(2026, 7, 1), QTime(10, 0, 30, 250), QTimeZone::utc())},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReportBuilding::incidentMoment(c.date, c.time), c.moment)
        << c.date.toString(Qt::ISODate).toStdString() << ' ' << c.time.toString().toStdString();
  }
  EXPECT_FALSE(ReportBuilding::incidentMoment(QDate(), QTime(2, 30)).isValid());
}

}  // namespace
}  // namespace kivo
