#include "features/insights/InsightsPage.h"
#include "features/insights/InsightsPresenter.h"

#include "PageShots.h"
#include "design/QualityBadge.h"
#include "design/SeverityLook.h"
#include "storage/TimeSeriesStore.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

using test::ModelRig;

const ValueFormatter kFormat{QLocale(QLocale::English, QLocale::UnitedStates)};

Finding finding(FindingKind kind, Severity severity = Severity::warning) {
  Finding result;
  result.kind = kind;
  result.severity = severity;
  result.metric = kind == FindingKind::diskExhaustion ? MetricID::diskFree : MetricID::cpuTotal;
  result.start = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  result.end = result.start.addSecs(754);
  result.threshold = 85;
  result.peak = 99;
  result.mean = 93;
  result.sampleCount = 12345;
  if (kind == FindingKind::processSpikes) result.subject = QStringLiteral("<b>render</b>");
  if (kind == FindingKind::diskExhaustion) result.projected = result.end.addDays(12);
  return result;
}

TEST(InsightsPresenter, RelativeTimeWithPluralForms) {
  const QDateTime now = QDateTime::fromSecsSinceEpoch(1'700'000'000, QTimeZone::utc());
  struct Case {
    qint64 ago;
    QString text;
  };
  const Case cases[] = {
      {-30, QStringLiteral("just now")},      {0, QStringLiteral("just now")},
      {59, QStringLiteral("just now")},       {60, QStringLiteral("1 minute ago")},
      {300, QStringLiteral("5 minutes ago")}, {3599, QStringLiteral("59 minutes ago")},
      {3600, QStringLiteral("1 hour ago")},   {7200, QStringLiteral("2 hours ago")},
      {86400, QStringLiteral("1 day ago")},   {3 * 86400 + 5, QStringLiteral("3 days ago")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InsightsPresenter::relativeTime(now.addSecs(-c.ago), now), c.text) << c.ago;
  }
  EXPECT_FALSE(InsightsPresenter::analysedText(std::nullopt, now));
  EXPECT_EQ(InsightsPresenter::analysedText(now.addSecs(-300), now),
            QStringLiteral("Analysed 5 minutes ago"));
}

TEST(InsightsPresenter, EveryKindOfFindingGetsItsCard) {
  for (FindingKind kind : FindingKinds::allCases()) {
    const Finding f = finding(kind, Severity::critical);
    const FindingCardState card = InsightsPresenter::card(f, kFormat);
    EXPECT_EQ(card.id, f.id());
    EXPECT_FALSE(card.title.isEmpty());
    EXPECT_FALSE(card.explanation.isEmpty());
    EXPECT_FALSE(card.action.isEmpty());
    // Only the projection of a filling volume is an estimate.
    EXPECT_EQ(card.estimate, kind == FindingKind::diskExhaustion);
    EXPECT_EQ(card.capsule, QStringLiteral("CRITICAL"));
    EXPECT_EQ(card.symbol, SeverityLook::symbol(Severity::critical));
    EXPECT_EQ(card.color, Palette::danger);
    // How long it lasted (end minus start), not how long ago it ended.
    EXPECT_EQ(card.duration, kFormat.duration(754));
    EXPECT_EQ(card.samples, QStringLiteral("12345"));
    // Repeated spikes span a period between separate runs, and count spikes rather than samples.
    const bool spikes = kind == FindingKind::processSpikes;
    EXPECT_EQ(card.durationCaption,
              spikes ? QStringLiteral("First to last spike") : QStringLiteral("Duration"));
    EXPECT_EQ(card.samplesCaption, spikes ? QStringLiteral("Spikes") : QStringLiteral("Samples"));
    EXPECT_EQ(card.from, kFormat.date(f.start));
  }
  EXPECT_EQ(InsightsPresenter::card(finding(FindingKind::sustainedCPU, Severity::info), kFormat).capsule,
            QStringLiteral("INFO"));
  EXPECT_EQ(InsightsPresenter::card(finding(FindingKind::sustainedCPU), kFormat).metric,
            QStringLiteral("CPU usage"));
}

TEST(InsightsPresenter, RuleLinesCarryTheThresholdsInForce) {
  const QStringList lines = InsightsPresenter::ruleLines(IntelligenceThresholds{}, kFormat);
  ASSERT_EQ(lines.size(), 7);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("CPU usage above 85%"))) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("10 min")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("5 min")));
  EXPECT_EQ(lines[3],
            QStringLiteral("Startup volume projected to fill within 30 days (needs 6 hours of history)"));
  EXPECT_EQ(lines[5], QStringLiteral("A process holding a full core for 30 s, 3 times or more"));
  EXPECT_EQ(lines[6], QStringLiteral("Thermal state Serious or Critical for a minute or more"));
  EXPECT_TRUE(InsightsPresenter::ruleLines(IntelligenceThresholds{}, kFormat, false)[6].contains(
      QStringLiteral("nothing to check here")));

  struct Case {
    double days;
    QString text;
  };
  const Case cases[] = {
      {29.9, QStringLiteral("29")},
      {0.5, QStringLiteral("0")},
      {-0.5, QStringLiteral("0")},
      {-3.7, QStringLiteral("-3")},
      {1e30, QStringLiteral("1000000000000000019884624838656")},
      {std::numeric_limits<double>::infinity(), QStringLiteral("—")},
      {std::nan(""), QStringLiteral("—")},
  };
  for (const Case& c : cases) EXPECT_EQ(InsightsPresenter::wholeDays(c.days), c.text) << c.days;
  IntelligenceThresholds huge;
  huge.diskHorizonDays = 1e300;
  EXPECT_EQ(InsightsPresenter::ruleLines(huge, kFormat)[3].size(), lines[3].size() - 2 + 301);
}

// Stored readings that the analysis turns into findings: a busy CPU and memory pressure in the
// last half hour.
void storeBusyHalfHour(TimeSeriesStore& store) {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  for (int s = 1800; s > 60; s -= 2) {
    const MetricValue values[] = {{MetricID::cpuTotal, 97.0}, {MetricID::memPressure, 1.0}};
    store.append(values, now.addSecs(-s));
  }
  store.flush(now);
}

TEST(InsightsPage, EmptyFindingsShowNothingToReportAndNoAnalysedCaption) {
  test::prepareLook();
  ModelRig rig;
  InsightsPage page(*rig.model, *rig.settings);
  page.resize(1100, 900);
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("insights.empty"))->isVisibleTo(&page));
  EXPECT_FALSE(page.findChild<QWidget*>(QStringLiteral("insights.findings"))->isVisibleTo(&page));
  EXPECT_FALSE(page.findChild<QLabel*>(QStringLiteral("insights.analysed"))->isVisibleTo(&page));
  EXPECT_EQ(page.findChild<QLabel*>(QStringLiteral("insights.rule4"))->text(),
            QStringLiteral("Startup volume projected to fill within 30 days (needs 6 hours of history)"));

  // Thresholds rewrite the lines at once.
  IntelligenceThresholds thresholds;
  thresholds.processEpisodes = 7;
  rig.settings->setThresholds(thresholds);
  EXPECT_EQ(page.findChild<QLabel*>(QStringLiteral("insights.rule6"))->text(),
            QStringLiteral("A process holding a full core for 30 s, 7 times or more"));
  test::grabBoth(page, QStringLiteral("insights"), QStringLiteral("page-empty"), {1100, 900});

  // An analysis that finds nothing still says when it ran.
  page.findChild<QPushButton*>(QStringLiteral("insights.refresh"))->click();
  rig.model->waitForWorker();
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("insights.empty"))->isVisibleTo(&page));
  EXPECT_EQ(page.findChild<QLabel*>(QStringLiteral("insights.analysed"))->text(),
            QStringLiteral("Analysed just now"));
}

TEST(InsightsPage, AnalyseNowShowsOneCardPerFindingUpdatedInPlace) {
  test::prepareLook();
  ModelRig rig;
  InsightsPage page(*rig.model, *rig.settings);
  storeBusyHalfHour(*test::store(*rig.model));
  auto* refresh = page.findChild<QPushButton*>(QStringLiteral("insights.refresh"));
  refresh->click();
  rig.model->waitForWorker();
  ASSERT_FALSE(rig.model->findings().empty());
  EXPECT_FALSE(page.findChild<QWidget*>(QStringLiteral("insights.empty"))->isVisibleTo(&page));
  auto titles = page.findChildren<QLabel*>(QStringLiteral("insights.finding.title"));
  EXPECT_EQ(static_cast<std::size_t>(titles.size()), rig.model->findings().size());
  for (QLabel* title : titles) EXPECT_EQ(title->textFormat(), Qt::PlainText);
  // No projection among these, so no estimate badge shows.
  for (auto* badge : page.findChildren<QualityBadge*>(QStringLiteral("insights.finding.estimate"))) {
    EXPECT_FALSE(badge->isVisibleTo(&page));
  }
  test::grabBoth(page, QStringLiteral("insights"), QStringLiteral("page-findings"), {1100, 1300});
  test::grabBoth(page, QStringLiteral("insights"), QStringLiteral("page-findings-small"), {860, 560});

  // A second analysis with the same findings keeps the same cards.
  refresh->click();
  rig.model->waitForWorker();
  EXPECT_EQ(page.findChildren<QLabel*>(QStringLiteral("insights.finding.title")), titles);

  // Erasing the history empties the list; the caption keeps the last analysis.
  rig.model->eraseHistory();
  rig.model->waitForWorker();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(page.findChild<QWidget*>(QStringLiteral("insights.empty"))->isVisibleTo(&page));
  EXPECT_TRUE(page.findChildren<QLabel*>(QStringLiteral("insights.finding.title")).empty());
  EXPECT_TRUE(page.findChild<QLabel*>(QStringLiteral("insights.analysed"))->isVisibleTo(&page));
}

}  // namespace
}  // namespace kivo
