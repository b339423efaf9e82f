#include "features/history/HistoryPage.h"

#include "ModelTestSupport.h"
#include "PageShots.h"
#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Icons.h"
#include "design/Tokens.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryChartCard.h"
#include "features/history/HistoryFileDialogs.h"
#include "features/history/HistoryPresenter.h"
#include "storage/TimeSeriesStore.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScrollBar>
#include <QToolButton>

namespace kivo {
namespace {

using test::ModelRig;
using test::waitUntil;

// Answers the save dialog with a scripted path (none: cancelled) and keeps the failures shown.
struct ScriptedDialogs final : HistoryFileDialogs {
  std::optional<QString> answer;
  QStringList suggested;
  QStringList suffixes;
  QStringList failures;
  std::optional<QString> saveFileName(QWidget*, const QString& name, const QString&,
                                      const QString& suffix) override {
    suggested << name;
    suffixes << suffix;
    return answer;
  }
  void showFailure(QWidget*, const QString& message) override { failures << message; }
};

QString statValue(const QWidget& card, const char* name) {
  auto* stat = card.findChild<QWidget*>(QStringLiteral("history.stat.") + QLatin1String(name));
  return stat ? stat->findChild<QLabel*>(QStringLiteral("value"))->text() : QString();
}

class HistoryPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Icons::initResources();
    now = QDateTime::currentDateTimeUtc();
    // Two stretches of CPU samples in the last hour with twenty minutes between them, and memory
    // samples in the second stretch.
    TimeSeriesStore& store = *test::store(*rig.model);
    for (int s = 50 * 60; s >= 60; s -= 2) {
      if (s < 40 * 60 && s > 20 * 60) continue;
      const double cpu = 30 + 20 * std::sin(s / 200.0);
      std::vector<MetricValue> values{{MetricID::cpuTotal, cpu}};
      if (s <= 20 * 60) values.push_back({MetricID::memUsed, 6e9 + s * 1e5});
      store.append(values, now.addSecs(-s));
    }
    ASSERT_TRUE(store.flush(now));
    for (int minutes : {45, 30, 10}) {
      StoredEvent bookmark;
      bookmark.date = now.addSecs(-minutes * 60);
      bookmark.kind = EventKind::bookmark;
      bookmark.code = QStringLiteral("bookmark");
      bookmark.payload.insert(QStringLiteral("note"),
                              minutes == 30 ? QString() : QStringLiteral("mark %1").arg(minutes));
      ids.push_back(*store.record(bookmark));
    }
  }

  std::unique_ptr<HistoryPage> makePage() {
    auto page = std::make_unique<HistoryPage>(*rig.model, *rig.settings);
    page->resize(1100, 1300);
    auto dialogs = std::make_unique<ScriptedDialogs>();
    this->dialogs = dialogs.get();
    page->setFileDialogs(std::move(dialogs));
    return page;
  }

  static void settle(MonitorModel& model) {
    model.waitForWorker();
    QApplication::processEvents();
  }

  ModelRig rig;
  QDateTime now;
  std::vector<std::int64_t> ids;
  ScriptedDialogs* dialogs = nullptr;
};

TEST_F(HistoryPageTest, ChartsTheStoredSeriesWithItsGapsAndBookmarks) {
  auto page = makePage();
  EXPECT_EQ(page->loadIdentity(), QStringLiteral("hour|1|0|0"));
  // Before the first result: the progress indicator, no card.
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("history.loading"))->isVisibleTo(page.get()));
  settle(*rig.model);
  ASSERT_TRUE(page->loaded());
  const HistoryLoad& load = *page->loaded();
  EXPECT_EQ(load.range, HistoryRange::hour);
  EXPECT_NEAR(load.to - load.from, 3600, 1e-6);
  ASSERT_EQ(load.series.size(), 1u);

  // The page shows what the store answers for the same range.
  const Series expected =
      test::store(*rig.model)
          ->series(MetricID::cpuTotal, QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(load.from * 1000)),
                   QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(load.to * 1000)), 480, std::nullopt,
                   QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(load.to * 1000)));
  EXPECT_EQ(load.series[0].points, expected.points);
  EXPECT_EQ(load.series[0].gaps, expected.gaps);
  ASSERT_GE(expected.gaps.size(), 2u);

  auto* card = page->findChild<HistoryChartCard*>(QStringLiteral("history.card.cpu.total"));
  ASSERT_TRUE(card);
  const ValueFormatter& format = rig.model->format();
  EXPECT_EQ(statValue(*card, "samples"), QString::number(expected.sampleCount()));
  EXPECT_EQ(statValue(*card, "gaps"), HistoryPresenter::gapsText(expected, format));
  EXPECT_EQ(statValue(*card, "maximum"),
            HistoryPresenter::valueText(*expected.maximum(), MetricID::cpuTotal, format));
  EXPECT_EQ(statValue(*card, "resolution"), format.duration(expected.step));
  EXPECT_EQ(card->chart()->accessibleDescription(), HistoryPresenter::summary(expected, format));
  EXPECT_FALSE(page->findChild<QWidget*>(QStringLiteral("history.loading"))->isVisibleTo(page.get()));

  // Bookmarks newest first, each a row and a rule on the chart.
  ASSERT_EQ(load.bookmarks.size(), 3u);
  EXPECT_EQ(load.bookmarks[0].id, ids[2]);
  auto* empty = page->findChild<QWidget*>(QStringLiteral("history.bookmark.") + QString::number(ids[1]));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->findChild<QLabel*>(QStringLiteral("note"))->text(), QStringLiteral("No note"));
}

TEST_F(HistoryPageTest, DeletingABookmarkReloadsWithoutIt) {
  auto page = makePage();
  settle(*rig.model);
  const QString name = QStringLiteral("history.bookmark.") + QString::number(ids[0]);
  auto* row = page->findChild<QWidget*>(name);
  ASSERT_TRUE(row);
  row->findChild<QToolButton*>(QStringLiteral("history.bookmark.delete"))->click();
  settle(*rig.model);
  settle(*rig.model);
  EXPECT_EQ(page->loadIdentity(), QStringLiteral("hour|1|0|1"));
  ASSERT_EQ(page->loaded()->bookmarks.size(), 2u);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(page->findChild<QWidget*>(name));
  EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("history.bookmark.") + QString::number(ids[1])));
}

TEST_F(HistoryPageTest, OnlyTheNewestRequestIsApplied) {
  auto page = makePage();
  settle(*rig.model);
  int applied = 0;
  QObject::connect(page.get(), &HistoryPage::loadApplied, [&] { ++applied; });
  // Three requests in a row: the first two come back superseded and are dropped.
  page->chooseRange(HistoryRange::day);
  page->chooseSecondary(MetricID::memUsed);
  page->chooseRange(HistoryRange::sixHours);
  settle(*rig.model);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(page->loaded()->range, HistoryRange::sixHours);
  EXPECT_NEAR(page->loaded()->to - page->loaded()->from, 21600, 1e-6);
  ASSERT_EQ(page->loaded()->series.size(), 2u);
  EXPECT_EQ(page->loaded()->series[1].metric, MetricID::memUsed);
  EXPECT_EQ(page->loadIdentity(), QStringLiteral("sixHours|1|10|0"));
}

TEST_F(HistoryPageTest, ComparisonCardsFollowTheChoice) {
  auto page = makePage();
  page->chooseSecondary(MetricID::cpuTotal);
  settle(*rig.model);
  EXPECT_EQ(page->findChildren<HistoryChartCard*>().size(), 1);

  page->chooseSecondary(MetricID::memUsed);
  settle(*rig.model);
  const auto cards = page->findChildren<HistoryChartCard*>();
  ASSERT_EQ(cards.size(), 2);
  auto* memory = page->findChild<HistoryChartCard*>(QStringLiteral("history.card.memory.used"));
  ASSERT_TRUE(memory);
  // Labels of different widths ("60%", "6 GiB") still leave one plot left edge for both charts.
  for (auto* card : cards) card->chart()->resize(800, HistoryChart::kHeight);
  EXPECT_NE(cards[0]->chart()->labelWidth(), cards[1]->chart()->labelWidth());
  EXPECT_EQ(cards[0]->chart()->plotArea().left(), cards[1]->chart()->plotArea().left());

  // The pointer over one chart gives a readout in both cards, each from its own series.
  HistoryChart* chart = memory->chart();
  chart->resize(800, HistoryChart::kHeight);
  (void)chart->grab();  // the plot is known once painted
  QMouseEvent move(QEvent::MouseMove, QPointF(600, 100), chart->mapToGlobal(QPointF(600, 100)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(chart, &move);
  ASSERT_TRUE(page->hover());
  EXPECT_GT(*page->hover(), page->loaded()->from);
  EXPECT_LT(*page->hover(), page->loaded()->to);
  for (auto* card : cards) {
    EXPECT_EQ(card->chart()->hover(), page->hover());
    EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("history.readout"))->text(),
              HistoryPresenter::readout(card->chart()->series(), page->hover(), rig.model->format()).text);
    EXPECT_NE(card->findChild<QLabel*>(QStringLiteral("history.readout"))->text(),
              QStringLiteral("Move the pointer over the chart to read a point."));
  }
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(chart, &leave);
  EXPECT_FALSE(page->hover());

  page->chooseSecondary(std::nullopt);
  settle(*rig.model);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(page->findChild<HistoryChartCard*>(QStringLiteral("history.card.memory.used")));
  EXPECT_EQ(page->findChild<QComboBox*>(QStringLiteral("history.compare"))->currentText(),
            QStringLiteral("Nothing"));
}

TEST_F(HistoryPageTest, ExportsWhatTheCardShowsForTheRangeItWasLoadedFor) {
  auto page = makePage();
  settle(*rig.model);
  QTemporaryDir out;
  dialogs->answer = out.filePath(QStringLiteral("cpu.csv"));
  // A newer range is chosen but not loaded yet: the export still names and holds the hour.
  rig.model->query(
      page.get(),
      [](TimeSeriesStore&) {
        QThread::msleep(50);
        return 0;
      },
      [](int) {});
  page->chooseRange(HistoryRange::week);
  page->exportCSV(MetricID::cpuTotal);
  EXPECT_EQ(dialogs->suggested.value(0), QStringLiteral("KIVO-Monitor-cpu.total-hour.csv"));
  EXPECT_EQ(dialogs->suffixes.value(0), QStringLiteral("csv"));
  QFile csv(*dialogs->answer);
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = csv.readAll().split('\n');
  EXPECT_EQ(lines.front(),
            QByteArray("metric,unit,tier,bucket_seconds,timestamp_iso8601,min,avg,max,samples"));
  ASSERT_GT(lines.size(), 3);
  EXPECT_TRUE(lines[1].startsWith("cpu.total,percent,raw,")) << lines[1].toStdString();

  // The image is dark only when the appearance setting is Dark, whatever the page shows.
  const QString shots = test::outputDir() + QStringLiteral("/history");
  QDir().mkpath(shots);
  QFile::remove(shots + QStringLiteral("/export-page.csv"));
  QFile::copy(*dialogs->answer, shots + QStringLiteral("/export-page.csv"));
  page->setPalette(Appearance::palette(true));
  dialogs->answer = shots + QStringLiteral("/export-page-light.png");
  page->exportPNG(MetricID::cpuTotal);
  EXPECT_EQ(dialogs->suggested.value(1), QStringLiteral("KIVO-Monitor-cpu.total-hour.png"));
  QImage light(*dialogs->answer);
  EXPECT_EQ(light.width(), 2296);
  EXPECT_EQ(light.pixelColor(2, 2), Palette::surface.resolve(false));
  rig.settings->setAppearance(AppearanceChoice::dark);
  dialogs->answer = shots + QStringLiteral("/export-page-dark.png");
  page->exportPNG(MetricID::cpuTotal);
  EXPECT_EQ(QImage(*dialogs->answer).pixelColor(2, 2), Palette::surface.resolve(true));

  // Cancelled: nothing written, nothing said. A failed write is reported.
  dialogs->answer.reset();
  page->exportCSV(MetricID::cpuTotal);
  EXPECT_TRUE(dialogs->failures.isEmpty());
  dialogs->answer = out.filePath(QStringLiteral("missing/cpu.csv"));
  page->exportCSV(MetricID::cpuTotal);
  ASSERT_EQ(dialogs->failures.size(), 1);
  EXPECT_TRUE(dialogs->failures[0].contains(*dialogs->answer));
  settle(*rig.model);
  EXPECT_EQ(page->loaded()->range, HistoryRange::week);
}

TEST_F(HistoryPageTest, ScreenshotsLightAndDark) {
  auto page = makePage();
  page->chooseSecondary(MetricID::memUsed);
  settle(*rig.model);
  const QString dir = test::outputDir() + QStringLiteral("/history");
  QDir().mkpath(dir);
  for (bool dark : {false, true}) {
    page->setPalette(Appearance::palette(dark));
    page->show();
    page->setHover(page->loaded()->to - 900);
    QApplication::processEvents();
    EXPECT_TRUE(page->grab().save(
        dir + (dark ? QStringLiteral("/page-dark.png") : QStringLiteral("/page-light.png"))));
  }
  // The width left beside the sidebar of a small window: the controls and figures wrap, nothing
  // scrolls sideways.
  page->resize(620, 900);
  QApplication::processEvents();
  EXPECT_FALSE(page->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(page->grab().save(dir + QStringLiteral("/page-dark-narrow.png")));
}

// At every launch the history takes a moment to open: the page says so, and charts it once open.
TEST(HistoryPageWithoutStore, SaysTheHistoryIsOpeningWhileItOpens) {
  Icons::initResources();
  QTemporaryDir dir;
  MemoryPreferences domain;
  MemoryPreferences standard({{QStringLiteral("KIVODataDir"), dir.path()}});
  AppSettings settings(domain);
  test::Probe probe;
  MonitorModel model(settings, standard, test::fakeEnvironment(probe));
  // The worker's answer reaches the model through the event loop, which has not run yet.
  ASSERT_FALSE(model.hasHistory());
  ASSERT_FALSE(model.storeError());
  HistoryPage page(model, settings);
  auto* text = page.findChild<QLabel*>(QStringLiteral("history.unavailable"));
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->isVisibleTo(&page));
  EXPECT_EQ(text->text(), QStringLiteral("Opening the history…"));
  EXPECT_TRUE(page.findChild<QProgressBar*>()->isVisibleTo(&page));

  ASSERT_TRUE(test::waitUntil([&] {
    model.waitForWorker();
    return page.loaded().has_value();
  }));
  EXPECT_FALSE(text->isVisibleTo(&page));
  EXPECT_FALSE(page.findChild<QWidget*>(QStringLiteral("history.loading"))->isVisibleTo(&page));
}

TEST(HistoryPageWithoutStore, SaysWhyInsteadOfLoadingForever) {
  Icons::initResources();
  test::ModelWithoutHistory rig;
  MonitorModel& model = rig.model;
  ASSERT_FALSE(model.hasHistory());
  HistoryPage page(model, rig.settings);
  model.waitForWorker();
  QApplication::processEvents();
  auto* text = page.findChild<QLabel*>(QStringLiteral("history.unavailable"));
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->isVisibleTo(&page));
  EXPECT_TRUE(text->text().startsWith(QStringLiteral("History is not available: ")))
      << text->text().toStdString();
  EXPECT_FALSE(page.loaded());
  // The toolbar's bookmark button is off without a history: the card says why, not to press it.
  auto* noBookmark = page.findChild<QLabel*>(QStringLiteral("history.noBookmark"));
  ASSERT_TRUE(noBookmark);
  EXPECT_EQ(noBookmark->text(), "No bookmark. No history is open, so a bookmark cannot be kept.");
}

// On a computer without a GPU the card of GPU utilisation says so, with no chart under it and
// no gap counted; the CPU beside it keeps its chart.
TEST(HistoryPageWithoutStore, ANeverProducedMetricHasNoChartAndNoGap) {
  Icons::initResources();
  SensorCapability gpu;
  gpu.id = QStringLiteral("gpu.utilization");
  gpu.present = false;
  test::PageRig rig({}, {}, {gpu});
  HistoryPage page(*rig.model, *rig.settings);
  page.resize(1100, 1300);
  page.choosePrimary(MetricID::gpuUtilization);
  page.chooseSecondary(MetricID::cpuTotal);
  ASSERT_TRUE(test::waitUntil([&] {
    rig.model->waitForWorker();
    return page.loaded() && page.loaded()->series.size() == 2;
  }));
  struct Case {
    const char* card;
    bool chart;
    const char* empty;
  } cases[] = {
      {"history.card.gpu.utilization", false, "Not available on this computer."},
      {"history.card.cpu.total", true, "No stored sample in this range yet."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.card);
    auto* card = page.findChild<HistoryChartCard*>(QLatin1String(c.card));
    ASSERT_TRUE(card);
    EXPECT_EQ(card->chart()->isVisibleTo(&page), c.chart);
    EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("history.readout"))->isVisibleTo(&page), c.chart);
    EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("history.empty"))->text(), QLatin1String(c.empty));
    EXPECT_EQ(statValue(*card, "gaps") == QStringLiteral("—"), !c.chart)
        << statValue(*card, "gaps").toStdString();
  }
  test::grabBoth(page, QStringLiteral("history"), QStringLiteral("page-never-produced"), {860, 900});
}

}  // namespace
}  // namespace kivo
