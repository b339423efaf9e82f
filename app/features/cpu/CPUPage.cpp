#include "features/cpu/CPUPage.h"

#include "design/CappedWidth.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Environment.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/ProcessContribution.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/cpu/CPUPagePresenter.h"
#include "features/cpu/CoreGrid.h"
#include "features/cpu/CoreHeatmap.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <QVBoxLayout>

#include <array>

namespace kivo {
namespace {}  // namespace

CPUPage::CPUPage(MonitorModel& model, AppSettings&, QWidget* parent) : Page(parent), model_(model) {
  safe_ = Environment::colorBlindSafe(parent);
  const bool safe = safe_;
  const DynamicColor cpuColor = MetricFamilies::color(MetricFamily::cpu, safe);
  const DynamicColor systemColor = MetricFamilies::color(MetricFamily::thermal, safe);

  addWidget(
      new PageHeader(QStringLiteral("CPU"), CPUPagePresenter::subtitle(model.system()), MetricFamily::cpu));

  // Total and usage.
  auto* first = new CardRow;
  auto* totalCard = new Card(QStringLiteral("Total"), MetricFamily::cpu);
  totalCard->setObjectName(QStringLiteral("cpu.total"));
  CappedWidth::apply(totalCard, first, 220, 300);
  total_ = new Readout(std::nullopt, QStringLiteral("100 % = every core busy"), 34, Palette::textPrimary);
  totalCard->addContent(total_);
  totalCard->body()->addStretch(1);
  user_ = new KeyValueRow(kivo::tr("User"), std::nullopt, std::nullopt, cpuColor);
  system_ = new KeyValueRow(kivo::tr("System"), std::nullopt, std::nullopt, systemColor);
  idle_ = new KeyValueRow(kivo::tr("Idle"), std::nullopt, std::nullopt, Palette::surfaceRaised);
  user_->setObjectName(QStringLiteral("cpu.user"));
  system_->setObjectName(QStringLiteral("cpu.system"));
  for (KeyValueRow* row : {user_, system_, idle_}) totalCard->addContent(row);
  first->addWidget(totalCard);

  auto* usageCard = new Card(QStringLiteral("Usage"), MetricFamily::cpu);
  usage_ = new LiveChart;
  usage_->setObjectName(QStringLiteral("cpu.usageChart"));
  LiveChartOptions options;
  options.domain = ChartRange{0, 100};
  options.format = [this](double v) { return model_.format().percent(v, 0); };
  options.axis = AxisUnit::percent(model_.format().locale);
  options.stacked = true;
  options.height = 180;
  usage_->setOptions(std::move(options));
  usageCard->addContent(usage_);
  first->addWidget(usageCard);
  addWidget(first);

  // Cores and their recent activity.
  auto* second = new CardRow;
  auto* coresCard = new Card(QStringLiteral("Cores"), MetricFamily::cpu);
  coresCard->setObjectName(QStringLiteral("cpu.cores"));
  grid_ = new CoreGrid;
  gridEmpty_ = ToneLabel::note(kivo::tr("Collecting samples…"), coresCard);
  gridEmpty_->setObjectName(QStringLiteral("cpu.coresEmpty"));
  coresCard->addContent(grid_);
  coresCard->addContent(gridEmpty_);
  if (const auto levels = CPUPagePresenter::levelLine(model.system().topology)) {
    auto* line = new ToneLabel(*levels, Typeface::system(12, QFont::Medium), Palette::textPrimary, coresCard);
    line->setObjectName(QStringLiteral("cpu.levels"));
    line->setWordWrap(true);
    coresCard->addContent(line);
    auto* levelNote = ToneLabel::note(
        kivo::tr("The kernel lists the logical CPUs of each kind under /sys/devices/cpu_core and "
                 "cpu_atom; cores are shown here by number."),
        coresCard);
    levelNote->setObjectName(QStringLiteral("cpu.levelsNote"));
    coresCard->addContent(levelNote);
  }
  // The grid takes the card's spare height: its bars grow rather than leave an empty card.
  coresCard->setFillingContent(grid_);
  second->addWidget(coresCard);

  auto* activityCard = new Card(QStringLiteral("Core activity"), MetricFamily::cpu);
  heatmap_ = new CoreHeatmap;
  activityCard->addContent(heatmap_);
  activityCard->addContent(ToneLabel::note(
      kivo::tr("One row per core, newest sample on the right. Stronger colour means busier."), activityCard));
  second->addWidget(activityCard);
  addWidget(second);

  // Load, peaks and the busiest processes.
  auto* third = new CardRow;
  auto* loadCard = new Card(QStringLiteral("Load and peaks"), MetricFamily::cpu);
  loadCard->setObjectName(QStringLiteral("cpu.load"));
  loadAverage_ = new KeyValueRow(kivo::tr("Load average (1, 5, 15 min)"), std::nullopt);
  peak_ = new KeyValueRow(kivo::tr("Peak in the live window"), std::nullopt);
  average_ = new KeyValueRow(kivo::tr("Average in the live window"), std::nullopt);
  sampling_ = new KeyValueRow(kivo::tr("Sampling interval"), std::nullopt);
  measured_ = new KeyValueRow(kivo::tr("Measured interval of the last sample"), std::nullopt);
  for (KeyValueRow* row : {loadAverage_, peak_, average_, sampling_, measured_}) loadCard->addContent(row);
  loadCard->addContent(
      new UnavailableRow(kivo::tr("CPU frequency"), CPUPagePresenter::frequencyReason(model.capabilities())));
  loadCard->body()->addStretch(1);
  third->addWidget(loadCard);

  auto* processCard = new Card(QStringLiteral("Top processes by CPU"), MetricFamily::cpu);
  processes_ = new ProcessContribution(false);
  processCard->addContent(processes_);
  third->addWidget(processCard);
  addWidget(third);

  static constexpr std::array kSources = {MetricID::cpuTotal, MetricID::cpuUser, MetricID::cpuSystem,
                                          MetricID::loadAverage1};
  addWidget(new SourcesCard(kSources));

  connect(&model, &MonitorModel::snapshotChanged, this, &CPUPage::refreshSnapshot);
  connect(&model, &MonitorModel::liveChanged, this, &CPUPage::refreshLive);
  connect(&model, &MonitorModel::coreHistoryChanged, this, &CPUPage::refreshCoreHistory);
  connect(&model, &MonitorModel::processesChanged, this, &CPUPage::refreshProcesses);
  refreshSnapshot();
  refreshLive();
  refreshCoreHistory();
  refreshProcesses();
}

bool CPUPage::event(QEvent* event) {
  if (event->type() == Environment::changedEventType() && Environment::colorBlindSafe(this) != safe_) {
    safe_ = !safe_;
    user_->setSwatch(MetricFamilies::color(MetricFamily::cpu, safe_));
    system_->setSwatch(MetricFamilies::color(MetricFamily::thermal, safe_));
  }
  return Page::event(event);
}

void CPUPage::refreshSnapshot() {
  const CPUPageState state = CPUPagePresenter::state(model_);
  total_->setValue(state.total);
  user_->setValue(state.user);
  system_->setValue(state.system);
  idle_->setValue(state.idle);
  loadAverage_->setValue(state.loadAverage);
  sampling_->setValue(state.samplingInterval);
  measured_->setValue(state.measuredInterval);

  const auto& snapshot = model_.snapshot();
  if (state.hasCPU) grid_->setCores(snapshot->cpu->cores);
  grid_->setVisible(state.hasCPU);
  gridEmpty_->setVisible(!state.hasCPU);
}

void CPUPage::refreshLive() {
  std::vector<LiveSeries> series(2);
  series[0] = {QStringLiteral("user"), kivo::tr("User"), ChartColor::of(MetricFamily::cpu), {}};
  series[0].assign(model_.live(MetricID::cpuUser));
  series[1] = {QStringLiteral("system"), kivo::tr("System"), ChartColor::of(MetricFamily::thermal), {}};
  series[1].assign(model_.live(MetricID::cpuSystem));
  usage_->setSeries(std::move(series));
  // Peak and average follow the live series.
  const PeakAndAverage figures =
      CPUPagePresenter::peakAndAverage(model_.live(MetricID::cpuTotal), MonitorModel::kLivePoints);
  peak_->setValue(figures.peak ? std::optional(model_.format().percent(*figures.peak, 1)) : std::nullopt);
  average_->setValue(figures.average ? std::optional(model_.format().percent(*figures.average, 1))
                                     : std::nullopt);
}

void CPUPage::refreshCoreHistory() {
  heatmap_->setHistory(&model_.coreHistory());
}

void CPUPage::refreshProcesses() {
  processes_->setSample(model_.processes(), model_.format());
}

}  // namespace kivo
