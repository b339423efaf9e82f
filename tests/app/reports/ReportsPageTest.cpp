#include "design/Appearance.h"
#include "design/Icons.h"
#include "design/ToneLabel.h"
#include "features/reports/ReportTableView.h"
#include "features/reports/ReportsPage.h"
#include "features/reports/ReportsPresenter.h"
#include "reporting/ReportGenerator.h"
#include "settings/AppSettings.h"
#include "texts/FindingText.h"

#include "LocalZone.h"
#include "PageShots.h"
#include "ReportsTestSupport.h"
#include "WriteFailures.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeZone>

#include <unistd.h>
#include <future>

namespace kivo {
namespace {

using test::ModelRig;
using test::ScriptedDialogs;

class ReportsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Icons::initResources();
    ASSERT_TRUE(test::waitUntil([&] { return rig.model->hasHistory(); }));
    test::fillHistory(*test::store(*rig.model), QDateTime::currentDateTimeUtc(), 60);
  }

  std::unique_ptr<ReportsPage> makePage() {
    auto page = std::make_unique<ReportsPage>(*rig.model, *rig.settings);
    page->setFileDialogs(dialogs);
    page->resize(1200, 900);
    return page;
  }
  void finish() { rig.model->waitForWorker(); }

  void choose(ReportsPage& page, int kind) {
    auto* picker = page.findChild<QComboBox*>(QStringLiteral("reports.kind"));
    picker->setCurrentIndex(kind);
    emit picker->activated(kind);
  }
  ReportTableView* metrics(ReportsPage& page) {
    return page.findChild<ReportTableView*>(QStringLiteral("reports.metrics"));
  }
  QPushButton* button(ReportsPage& page, const QString& name) { return page.findChild<QPushButton*>(name); }

  // Holds the model's serial worker until released, so builds queue up behind it.
  struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    void release() { open.set_value(); }
  };
  void hold(Gate& gate) {
    rig.model->query(
        &context,
        [opened = gate.opened](TimeSeriesStore&) {
          opened.wait();
          return 0;
        },
        [](int) {});
  }
  // True once every result the worker sent back before this call is applied.
  std::shared_ptr<bool> marker() {
    auto reached = std::make_shared<bool>(false);
    rig.model->query(
        &context, [](TimeSeriesStore&) { return 0; }, [reached](int) { *reached = true; });
    return reached;
  }

  ModelRig rig;
  QObject context;
  std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
};

TEST_F(ReportsPageTest, EveryKindPreviewsItsMetricsFromTheHistory) {
  auto page = makePage();
  const struct {
    int index;
    ReportKind kind;
    int rows;
  } cases[] = {{0, ReportKind::system, 12}, {1, ReportKind::cpu, 4},     {2, ReportKind::memory, 10},
               {3, ReportKind::storage, 3}, {4, ReportKind::network, 2}, {5, ReportKind::processes, 2},
               {6, ReportKind::incident, 9}};
  for (const auto& c : cases) {
    choose(*page, c.index);
    finish();
    ASSERT_TRUE(page->report()) << c.index;
    EXPECT_EQ(page->report()->kind, c.kind);
    EXPECT_FALSE(page->isBuilding());
    const ReportTable& table = metrics(*page)->table();
    ASSERT_EQ(table.rows.size(), c.rows) << c.index;
    // Recorded history reached the preview: the first metric has samples and figures.
    EXPECT_GT(table.rows.front()[4].toInt(), 0) << c.index;
    EXPECT_NE(table.rows.front()[2], QStringLiteral("—")) << c.index;
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("reports.previewTitle"))->text(),
              page->report()->title);
  }
}

TEST_F(ReportsPageTest, SystemReportShowsDashesForUnrecordedMetricsAndCapsTablesAt40Rows) {
  auto page = makePage();
  finish();
  ASSERT_TRUE(page->report());
  const ReportTable& table = metrics(*page)->table();
  ASSERT_EQ(table.rows.size(), 12);
  const QStringList& gpu = table.rows[10];
  EXPECT_EQ(gpu.mid(1, 3), (QStringList{"—", "—", "—"}));
  EXPECT_EQ(gpu[4], QStringLiteral("0"));
  // The 60 bookmarks make an events table; the page shows its first 40 rows, the report keeps all.
  auto* events = page->findChild<QWidget*>(QStringLiteral("reports.table.0"));
  ASSERT_NE(events, nullptr);
  auto* view = events->findChild<ReportTableView*>();
  EXPECT_EQ(view->table().rows.size(), 60);
  EXPECT_EQ(view->shownRows(), ReportTableView::kMaxRows);
  EXPECT_NE(view->cell(39, 0), nullptr);
  EXPECT_EQ(view->cell(40, 0), nullptr);
  EXPECT_TRUE(view->cell(0, 3)->textInteractionFlags() & Qt::TextSelectableByMouse);
}

TEST_F(ReportsPageTest, TableViewKeepsItsCellsAndDropsOnlySurplusRows) {
  ReportTableView view;
  ReportTable table{QStringLiteral("t"), {"A", "B"}, {}};
  for (int i = 0; i < 50; ++i) table.rows.append({QString::number(i), QStringLiteral("<b>x</b>")});
  view.setTable(table);
  ToneLabel* kept = view.cell(1, 0);
  EXPECT_EQ(view.shownRows(), 40);
  EXPECT_EQ(kept->textFormat(), Qt::PlainText);
  table.rows = {{"a", "b"}, {"c", "d"}, {"e"}};
  view.setTable(table);
  EXPECT_EQ(view.shownRows(), 3);
  EXPECT_EQ(view.cell(1, 0), kept);
  EXPECT_EQ(kept->text(), QStringLiteral("c"));
  EXPECT_EQ(view.cell(2, 1), nullptr);
}

TEST_F(ReportsPageTest, OnlyTheNewestBuildIsAppliedAndTheOldPreviewStaysMeanwhile) {
  Gate gate;
  hold(gate);
  auto page = makePage();  // build 1: system
  auto afterFirst = marker();
  Gate second;
  hold(second);
  choose(*page, 1);  // build 2: cpu, queued behind the second gate
  gate.release();
  ASSERT_TRUE(test::waitUntil([&] { return *afterFirst; }));
  // Build 1 came back but was superseded: no preview of it, and the page is still busy.
  EXPECT_FALSE(page->report());
  EXPECT_TRUE(page->isBuilding());
  EXPECT_FALSE(page->findChild<QWidget*>(QStringLiteral("reports.progress"))->isHidden());
  second.release();
  finish();
  ASSERT_TRUE(page->report());
  EXPECT_EQ(page->report()->kind, ReportKind::cpu);
  EXPECT_FALSE(page->isBuilding());
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("reports.progress"))->isHidden());

  // A rebuild keeps the CPU preview on the page, without the busy indicator, until it is done.
  Gate third;
  hold(third);
  choose(*page, 4);
  EXPECT_TRUE(page->isBuilding());
  EXPECT_EQ(page->report()->kind, ReportKind::cpu);
  EXPECT_FALSE(page->findChild<QWidget*>(QStringLiteral("reports.preview"))->isHidden());
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("reports.progress"))->isHidden());
  third.release();
  finish();
  EXPECT_EQ(page->report()->kind, ReportKind::network);
}

TEST_F(ReportsPageTest, RefreshAndTheHostSwitchRebuildTheSameChoices) {
  auto page = makePage();
  finish();
  const QDateTime first = page->report()->to;
  button(*page, QStringLiteral("reports.refresh"))->click();
  EXPECT_TRUE(page->isBuilding());
  finish();
  EXPECT_GE(page->report()->to, first);
  EXPECT_EQ(page->choices().refresh, 1);

  page->findChild<QCheckBox*>(QStringLiteral("reports.includeHost"))->click();
  EXPECT_TRUE(rig.settings->includeHostInReports());
  EXPECT_TRUE(page->isBuilding());
  finish();
  EXPECT_TRUE(page->choices().includeHostName);
  // A change made elsewhere shows in the switch and rebuilds too.
  rig.settings->setIncludeHostInReports(false);
  EXPECT_FALSE(page->findChild<QCheckBox*>(QStringLiteral("reports.includeHost"))->isChecked());
  EXPECT_TRUE(page->isBuilding());
  finish();
}

TEST_F(ReportsPageTest, AReportBuiltBeforeTheFirstSampleIsBuiltAgainWhenItArrives) {
  const auto titles = [](const Report& report) {
    QStringList out;
    for (const ReportTable& table : report.tables) out.append(table.title);
    return out;
  };
  auto page = makePage();
  finish();
  ASSERT_TRUE(page->report());
  EXPECT_FALSE(titles(*page->report()).contains(QStringLiteral("Volumes")));

  TelemetrySnapshot first = test::snapshotAt(0);
  VolumeInfo root;
  root.name = QStringLiteral("/");
  root.mountPoint = QStringLiteral("/");
  root.total = 500'000'000'000ULL;
  root.available = 200'000'000'000ULL;
  root.isRoot = true;
  first.volumes = {root};
  rig.model->ingest(first);
  EXPECT_TRUE(page->isBuilding());
  finish();
  EXPECT_TRUE(titles(*page->report()).contains(QStringLiteral("Volumes")));
  EXPECT_EQ(page->choices().refresh, 0);  // no Refresh needed
  // Once built with a snapshot, later snapshots leave the report alone.
  rig.model->ingest(test::snapshotAt(2));
  EXPECT_FALSE(page->isBuilding());
}

TEST_F(ReportsPageTest, EachFormatIsWrittenWhereTheDialogSaysWithTheWritersBytes) {
  QTemporaryDir out;
  auto page = makePage();
  finish();
  ASSERT_TRUE(page->report());
  const Report report = *page->report();
  const QString day = report.generated.toUTC().date().toString(QStringLiteral("yyyy-MM-dd"));
  const auto& formatter = rig.model->format();
  const auto localize = [](const QString& key) { return key; };
  const struct {
    ReportFormat format;
    const char* name;
    QByteArray expected;
  } cases[] = {
      {ReportFormat::markdown, "markdown",
       ReportGenerator::markdown(report, formatter, localize, FindingText::words(formatter)).toUtf8()},
      {ReportFormat::csv, "csv", ReportGenerator::csv(report).toUtf8()},
      {ReportFormat::json, "json", ReportGenerator::json(report)},
      {ReportFormat::pdf, "pdf", {}},
  };
  for (const auto& c : cases) {
    const QString path = out.filePath(ReportFormats::proposedFileName(report, c.format));
    dialogs->saves.push_back(path);
    button(*page, QStringLiteral("reports.export.") + QLatin1String(c.name))->click();
    EXPECT_EQ(dialogs->proposed.back(),
              QStringLiteral("KIVO-Monitor-system-%1.%2").arg(day, ReportFormats::fileExtension(c.format)));
    const QByteArray written = test::readAll(path);
    if (c.format == ReportFormat::pdf)
      EXPECT_TRUE(written.startsWith("%PDF-"));
    else
      EXPECT_EQ(written, c.expected) << c.name;
    EXPECT_FALSE(page->message());
    QFile::copy(path, test::reportsOutput(QFileInfo(path).fileName()));
  }
}

TEST_F(ReportsPageTest, AFailedWriteLeavesTheOldFileAndShowsTheError) {
  auto page = makePage();
  finish();
  for (const char* name : {"pdf", "markdown", "csv", "json"}) {
    for (const auto& failure : test::writeFailures()) {
      SCOPED_TRACE(std::string(name) + ", " + failure.name);
      QTemporaryDir out;
      const QString path = out.filePath(QStringLiteral("report.") + QLatin1String(name));
      ASSERT_EQ(FileWriter::write(path, "good report"), std::nullopt);
      const QStringList before = test::folderState(out.path());
      dialogs->saves.push_back(path);
      {
        const auto armed = test::arm(failure);
        button(*page, QStringLiteral("reports.export.") + QLatin1String(name))->click();
      }
      ASSERT_TRUE(page->message());
      EXPECT_TRUE(page->message()->contains(path)) << page->message()->toStdString();
      EXPECT_TRUE(page->message()->endsWith(FileWriter::reason(failure.error)))
          << page->message()->toStdString();
      EXPECT_EQ(test::folderState(out.path()), before);
      EXPECT_FALSE(page->findChild<QWidget*>(QStringLiteral("reports.messageRow"))->isHidden());
    }
  }
  // A cancelled dialog changes nothing, not even the message.
  button(*page, QStringLiteral("reports.export.csv"))->click();
  EXPECT_TRUE(page->message());
}

TEST_F(ReportsPageTest, ExportButtonsWaitForAReport) {
  Gate gate;
  hold(gate);
  auto page = makePage();
  for (const char* name : {"pdf", "markdown", "csv", "json"})
    EXPECT_FALSE(button(*page, QStringLiteral("reports.export.") + QLatin1String(name))->isEnabled());
  EXPECT_TRUE(button(*page, QStringLiteral("reports.compare"))->isEnabled());
  page->exportReport(ReportFormat::csv);
  EXPECT_TRUE(dialogs->proposed.isEmpty());
  gate.release();
  finish();
  EXPECT_TRUE(button(*page, QStringLiteral("reports.export.csv"))->isEnabled());
}

TEST_F(ReportsPageTest, ComparesTwoExportedReportsAndKeepsTheComparisonOnLaterMessages) {
  QTemporaryDir out;
  auto page = makePage();
  finish();
  const QString system = out.filePath(QStringLiteral("system.json"));
  dialogs->saves.push_back(system);
  page->exportReport(ReportFormat::json);
  choose(*page, 2);
  finish();
  const QString memory = out.filePath(QStringLiteral("memory.json"));
  dialogs->saves.push_back(memory);
  page->exportReport(ReportFormat::json);

  dialogs->choices.push_back(QStringList{memory, system});
  button(*page, QStringLiteral("reports.compare"))->click();
  // The dialog opens where the reports were just saved.
  EXPECT_EQ(dialogs->folders, QStringList{QFileInfo(system).absolutePath()});
  ASSERT_TRUE(page->comparison());
  EXPECT_FALSE(page->message());
  auto* card = page->findChild<QWidget*>(QStringLiteral("reports.comparison"));
  EXPECT_FALSE(card->isHidden());
  auto* table = page->findChild<ReportTableView*>(QStringLiteral("reports.comparisonTable"));
  // The system report was built first, so it is A and its order decides.
  QStringList names;
  for (const QStringList& row : table->table().rows) names.append(row.front());
  EXPECT_EQ(names, (QStringList{"Memory used", "Memory pressure level", "Swap used"}));
  EXPECT_TRUE(page->findChild<QLabel*>(QStringLiteral("reports.comparisonNames"))->text().startsWith("A: "));

  dialogs->choices.push_back(QStringList{memory});
  button(*page, QStringLiteral("reports.compare"))->click();
  EXPECT_EQ(page->message(), QStringLiteral("Select exactly two reports."));
  EXPECT_FALSE(card->isHidden());
  // Cancelling keeps the message; a good export clears it and keeps the comparison.
  button(*page, QStringLiteral("reports.compare"))->click();
  EXPECT_EQ(page->message(), QStringLiteral("Select exactly two reports."));
  dialogs->saves.push_back(out.filePath(QStringLiteral("again.csv")));
  page->exportReport(ReportFormat::csv);
  EXPECT_FALSE(page->message());
  EXPECT_TRUE(page->comparison());
  EXPECT_FALSE(card->isHidden());
}

TEST_F(ReportsPageTest, ReportsWithoutASharedMetricSaySoInsteadOfAnEmptyCard) {
  QTemporaryDir out;
  auto page = makePage();
  dialogs->choices.push_back(std::nullopt);
  button(*page, QStringLiteral("reports.compare"))->click();
  EXPECT_EQ(dialogs->folders, QStringList{QString()});  // nothing saved yet: the desktop's folder
  choose(*page, 1);
  finish();
  const QString cpu = out.filePath(QStringLiteral("cpu.json"));
  dialogs->saves.push_back(cpu);
  page->exportReport(ReportFormat::json);
  choose(*page, 4);
  finish();
  const QString network = out.filePath(QStringLiteral("network.json"));
  dialogs->saves.push_back(network);
  page->exportReport(ReportFormat::json);

  dialogs->choices.push_back(QStringList{cpu, network});
  button(*page, QStringLiteral("reports.compare"))->click();
  EXPECT_EQ(page->message(), QStringLiteral("The two reports share no metric."));
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("reports.comparison"))->isHidden());
}

TEST_F(ReportsPageTest, APageClosedWhileADialogIsOpenIsNotTouchedAfterwards) {
  QTemporaryDir out;
  QPointer<ReportsPage> page = makePage().release();
  finish();
  const QString path = out.filePath(QStringLiteral("r.csv"));
  dialogs->saves.push_back(path);
  dialogs->during = [](QWidget* parent) { delete parent; };
  page->exportReport(ReportFormat::csv);
  EXPECT_TRUE(page.isNull());
  EXPECT_FALSE(QFileInfo::exists(path));
  auto again = makePage();
  dialogs->choices.push_back(QStringList{path, path});
  QPointer<ReportsPage> second = again.release();
  second->compareReports();
  EXPECT_TRUE(second.isNull());
}

TEST(ReportsPageWithoutHistoryTest, NothingIsBuiltAndOnlyRefreshAndCompareStayEnabled) {
  Icons::initResources();
  test::ModelWithoutHistory rig;
  MonitorModel& model = rig.model;
  ASSERT_FALSE(model.hasHistory());
  ReportsPage page(model, rig.settings);
  model.waitForWorker();
  EXPECT_FALSE(page.report());
  EXPECT_FALSE(page.isBuilding());
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("reports.progress"))->isHidden());
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("reports.preview"))->isHidden());
  for (const char* name : {"pdf", "markdown", "csv", "json"})
    EXPECT_FALSE(
        page.findChild<QPushButton*>(QStringLiteral("reports.export.") + QLatin1String(name))->isEnabled());
  EXPECT_TRUE(page.findChild<QPushButton*>(QStringLiteral("reports.refresh"))->isEnabled());
  EXPECT_TRUE(page.findChild<QPushButton*>(QStringLiteral("reports.compare"))->isEnabled());
  page.findChild<QPushButton*>(QStringLiteral("reports.refresh"))->click();
  EXPECT_FALSE(page.isBuilding());
}

TEST_F(ReportsPageTest, ScreenshotsInLightAndDark) {
  TelemetrySnapshot snapshot = test::snapshotAt(0);
  snapshot.date = QDateTime::currentDateTimeUtc();
  VolumeInfo volume;
  volume.name = QStringLiteral("root");
  volume.mountPoint = QStringLiteral("/");
  volume.format = QStringLiteral("ext4");
  volume.total = 500'000'000'000;
  volume.available = 120'000'000'000;
  snapshot.volumes = {volume};
  ProcessSample processes;
  for (int i = 0; i < 30; ++i) {
    ProcessRecord record;
    record.pid = 1000 + i;
    record.name =
        i == 3 ? QStringLiteral("a-process-with-a-rather-long-name-that-goes-on-and-on-beyond-any-column")
               : QStringLiteral("process-%1").arg(i);
    record.hasStatistics = true;
    record.cpuPercent = 50.0 - i;
    record.memory = 100'000'000ull * (i + 1);
    processes.processes.push_back(record);
  }
  snapshot.processes = processes;
  rig.model->ingest(snapshot);

  QTemporaryDir out;
  auto page = makePage();
  finish();
  // A comparison and a message, so every card is on the screenshot.
  dialogs->saves.push_back(out.filePath(QStringLiteral("a.json")));
  page->exportReport(ReportFormat::json);
  dialogs->choices.push_back(
      QStringList{out.filePath(QStringLiteral("a.json")), out.filePath(QStringLiteral("a.json"))});
  page->compareReports();
  dialogs->choices.push_back(QStringList{});
  page->compareReports();
  ASSERT_TRUE(page->comparison());
  for (const QSize size : {QSize(860, 1800), QSize(1400, 2000)}) {
    for (bool dark : {false, true}) {
      page->setPalette(Appearance::palette(dark));
      page->resize(size);
      page->widget()->resize(page->viewport()->width(),
                             page->widget()->heightForWidth(page->viewport()->width()));
      const QString name = QStringLiteral("page-%1-%2.png").arg(size.width()).arg(dark ? "dark" : "light");
      EXPECT_TRUE(page->widget()->grab().save(test::reportsOutput(name)));
    }
  }
  // The incident kind swaps the period for the moment and its note.
  choose(*page, 6);
  finish();
  page->setPalette(Appearance::palette(false));
  page->resize(1000, 1200);
  page->widget()->resize(page->viewport()->width(),
                         page->widget()->heightForWidth(page->viewport()->width()));
  EXPECT_TRUE(page->widget()
                  ->grab(QRect(0, 0, page->widget()->width(), 420))
                  .save(test::reportsOutput("incident-light.png")));
}

// In an 860 × 560 window, less its sidebar (and less the widest one), no kind of report makes the
// page scroll sideways, and the preview's title and period are shown whole.
TEST_F(ReportsPageTest, EveryKindFitsASmallWindowWithoutScrollingSideways) {
  for (int kind = 0; kind < static_cast<int>(ReportKinds::allCases().size()); ++kind) {
    for (const int width : {644, 580}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " at " << width);
      const auto make = [&](QWidget* parent) {
        auto* page = new ReportsPage(*rig.model, *rig.settings, parent);
        page->setFileDialogs(dialogs);
        choose(*page, kind);
        finish();
        return page;
      };
      test::expectNoSidewaysScroll(make, QSize(width, 560));
      test::PageHost shown(make, QSize(width, 560));
      for (const char* name : {"reports.previewTitle", "reports.previewPeriod"}) {
        auto* label = shown.page->findChild<QLabel*>(QLatin1String(name));
        ASSERT_TRUE(label);
        EXPECT_FALSE(label->text().isEmpty()) << name;
        EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        const QRect where(label->mapTo(shown.page->content(), QPoint(0, 0)), label->size());
        EXPECT_TRUE(shown.page->content()->rect().contains(where)) << name;
      }
    }
  }
}

// On the night the clocks go back, 2:30 typed into the incident picker is the first 2:30, and
// the preview's period names the zone of each end.
TEST_F(ReportsPageTest, AnIncidentInTheRepeatedHourIsTheFirstAndNamesItsZones) {
  const test::LocalZone berlin("Europe/Berlin");
  auto page = makePage();
  finish();
  choose(*page, 6);
  finish();
  auto* edit = page->findChild<QDateTimeEdit*>(QStringLiteral("reports.incidentDate"));
  ASSERT_TRUE(edit);
  edit->setDateTime(QDateTime(QDate(2026, 10, 25), QTime(2, 30)));
  finish();
  ASSERT_TRUE(page->report());
  EXPECT_EQ(page->report()->from, QDateTime(QDate(2026, 10, 25), QTime(0, 0), QTimeZone::utc()));
  EXPECT_EQ(page->report()->to, QDateTime(QDate(2026, 10, 25), QTime(1, 0), QTimeZone::utc()));
  EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("reports.previewPeriod"))->text(),
            QStringLiteral("Oct 25, 2026, 2:00:00 AM CEST → Oct 25, 2026, 2:00:00 AM CET"));
}

}  // namespace
}  // namespace kivo
