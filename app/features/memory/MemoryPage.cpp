#include "features/memory/MemoryPage.h"

#include "design/BareLayout.h"
#include "design/CappedWidth.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Environment.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/MemoryBar.h"
#include "design/Meter.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/PressureBadge.h"
#include "design/ProcessContribution.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/memory/MemoryPagePresenter.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <array>

namespace kivo {
namespace {

// A term in bold and what it means under it, spoken as one.
QWidget* definition(const QString& term, const QString& text) {
  auto* block = new QWidget;
  auto* column = bareColumn(block, 1);
  column->addWidget(new ToneLabel(term, Typeface::system(12, QFont::DemiBold), Palette::textPrimary, block));
  auto* body = new ToneLabel(text, Typeface::caption(), Palette::textSecondary, block);
  body->setWordWrap(true);
  column->addWidget(body);
  block->setAccessibleName(term);
  block->setAccessibleDescription(text);
  return block;
}

QString pressureReason(const std::vector<SensorCapability>& capabilities) {
  for (const SensorCapability& capability : capabilities) {
    if (capability.id == QLatin1String("memory.pressure") && !capability.note.isEmpty()) {
      return translated(capability.note);
    }
  }
  return kivo::tr("The kernel offers no pressure stall information (/proc/pressure/memory).");
}

}  // namespace

MemoryPage::MemoryPage(MonitorModel& model, AppSettings&, QWidget* parent) : Page(parent), model_(model) {
  safe_ = Environment::colorBlindSafe(parent);
  const bool safe = safe_;
  const auto colors = MemoryBar::colors(safe);

  addWidget(new PageHeader(QStringLiteral("Memory"),
                           MemoryPagePresenter::subtitle(model.system().physicalMemory, model.format()),
                           MetricFamily::memory));

  auto* first = new CardRow;
  auto* physical = new Card(QStringLiteral("Physical memory"), MetricFamily::memory);
  physical->setObjectName(QStringLiteral("memory.physical"));
  CappedWidth::apply(physical, first, 280, 380);
  auto* top = new QWidget;
  auto* topRow = bareRow(top);
  used_ =
      new Readout(std::nullopt, QStringLiteral("used (app + wired + compressed)"), 34, Palette::textPrimary);
  topRow->addWidget(used_, 1);
  badge_ = new PressureBadge;
  badge_->setObjectName(QStringLiteral("memory.pressureBadge"));
  topRow->addWidget(badge_, 0, Qt::AlignTop);
  physical->addContent(top);
  bar_ = new MemoryBar;
  bar_->setObjectName(QStringLiteral("memory.bar"));
  physical->addContent(bar_);
  app_ = new KeyValueRow(kivo::tr("App memory"), std::nullopt, std::nullopt, colors[0]);
  wired_ = new KeyValueRow(kivo::tr("Wired memory"), std::nullopt, std::nullopt, colors[1]);
  compressed_ = new KeyValueRow(kivo::tr("Compressed"), std::nullopt, std::nullopt, colors[2]);
  cached_ = new KeyValueRow(kivo::tr("Cached files"), std::nullopt, std::nullopt, colors[3]);
  free_ = new KeyValueRow(kivo::tr("Free"), std::nullopt, std::nullopt, Palette::surfaceRaised);
  for (KeyValueRow* row : {app_, wired_, compressed_, cached_, free_}) physical->addContent(row);
  physical->body()->addStretch(1);
  first->addWidget(physical);

  auto* inUseCard = new Card(QStringLiteral("Memory in use"), MetricFamily::memory);
  inUse_ = new LiveChart;
  inUse_->setObjectName(QStringLiteral("memory.inUseChart"));
  LiveChartOptions inUse;
  inUse.domain = MemoryPagePresenter::chartDomain(model.system().physicalMemory);
  inUse.format = [this](double v) { return model_.format().bytes(v, true); };
  inUse.axis = AxisUnit::bytes(true);
  inUse.stacked = true;
  inUse.height = 210;
  inUse_->setOptions(std::move(inUse));
  inUseCard->addContent(inUse_);
  first->addWidget(inUseCard);
  addWidget(first);

  auto* second = new CardRow;
  pressureCard_ = new Card(QStringLiteral("Pressure"), MetricFamily::memory, MetricQuality::estimated);
  auto* pressureCard = pressureCard_;
  pressure_ = new LiveChart;
  pressure_->setObjectName(QStringLiteral("memory.pressureChart"));
  LiveChartOptions levels;
  levels.domain = ChartRange{0, 2};
  levels.ticks = std::vector<double>{0, 1, 2};
  levels.format = [](double v) { return MemoryPagePresenter::pressureText(v); };
  levels.height = 120;
  pressure_->setOptions(std::move(levels));
  pressureCard->addContent(pressure_);
  pressureUnavailable_ =
      new UnavailableRow(kivo::tr("Memory pressure level"), pressureReason(model.capabilities()));
  pressureUnavailable_->setObjectName(QStringLiteral("memory.pressureUnavailable"));
  pressureCard->addContent(pressureUnavailable_);
  pressureCard->addContent(ToneLabel::note(
      kivo::tr("Pressure is estimated from the kernel's pressure stall information: how long "
               "tasks waited for memory. It, not the amount of free memory, tells whether this "
               "computer is short of memory."),
      pressureCard));
  pressureCard->body()->addStretch(1);
  second->addWidget(pressureCard);

  auto* swapCard = new Card(QStringLiteral("Swap and paging"), MetricFamily::memory);
  swapCard->setObjectName(QStringLiteral("memory.swap"));
  swapUsed_ = new KeyValueRow(kivo::tr("Swap used"), std::nullopt);
  swapTotal_ = new KeyValueRow(kivo::tr("Swap allocated"), std::nullopt);
  swapMeter_ = new Meter(std::nullopt, MetricFamilies::color(MetricFamily::memory, safe), 6);
  swapMeter_->setObjectName(QStringLiteral("memory.swapMeter"));
  pageIns_ = new KeyValueRow(kivo::tr("Page-ins"), std::nullopt);
  pageOuts_ = new KeyValueRow(kivo::tr("Page-outs"), std::nullopt);
  swapIns_ = new KeyValueRow(kivo::tr("Swap-ins"), std::nullopt);
  swapOuts_ = new KeyValueRow(kivo::tr("Swap-outs"), std::nullopt);
  pageSize_ = new KeyValueRow(kivo::tr("Page size"), std::nullopt);
  swapCard->addContent(swapUsed_);
  swapCard->addContent(swapTotal_);
  swapCard->addContent(swapMeter_);
  for (KeyValueRow* row : {pageIns_, pageOuts_, swapIns_, swapOuts_, pageSize_}) swapCard->addContent(row);
  swapCard->body()->addStretch(1);
  second->addWidget(swapCard);
  addWidget(second);

  auto* third = new CardRow;
  auto* terms = new Card(QStringLiteral("How to read these numbers"));
  auto* termList = new QWidget;
  auto* termColumn = bareColumn(termList, 6);
  termColumn->addWidget(definition(
      kivo::tr("Physical memory"),
      kivo::tr("The RAM installed in the computer. Used + cached files + free always equals it.")));
  termColumn->addWidget(definition(
      kivo::tr("App memory"),
      kivo::tr("Memory processes allocated themselves, plus all shared memory: files in RAM-backed "
               "folders (tmpfs such as /tmp and /dev/shm) count here while they exist, even when no "
               "process holds them. Files the kernel caches are not included.")));
  termColumn->addWidget(definition(
      kivo::tr("Compressed"),
      kivo::tr("Physical RAM occupied by zswap and zram. The data it holds was larger before compression.")));
  termColumn->addWidget(definition(
      kivo::tr("Swap"),
      kivo::tr("Disk space holding memory pages moved out of RAM. It is not part of physical memory.")));
  termColumn->addWidget(definition(
      kivo::tr("Virtual memory"),
      kivo::tr("Address space reserved by processes. It is not a measure of RAM in use and is not shown.")));
  terms->addContent(termList);
  terms->body()->addStretch(1);
  third->addWidget(terms);
  auto* processCard = new Card(QStringLiteral("Top processes by memory"), MetricFamily::memory);
  processes_ = new ProcessContribution(true);
  processCard->addContent(processes_);
  third->addWidget(processCard);
  addWidget(third);

  static constexpr std::array kSources = {MetricID::memUsed,       MetricID::memApp,    MetricID::memWired,
                                          MetricID::memCompressed, MetricID::memCached, MetricID::memFree,
                                          MetricID::memPressure,   MetricID::swapUsed,  MetricID::pageIns,
                                          MetricID::pageOuts};
  addWidget(new SourcesCard(kSources));

  connect(&model, &MonitorModel::snapshotChanged, this, &MemoryPage::refreshSnapshot);
  connect(&model, &MonitorModel::liveChanged, this, &MemoryPage::refreshLive);
  connect(&model, &MonitorModel::processesChanged, this, &MemoryPage::refreshProcesses);
  refreshSnapshot();
  refreshLive();
  refreshProcesses();
}

bool MemoryPage::event(QEvent* event) {
  if (event->type() == Environment::changedEventType() && Environment::colorBlindSafe(this) != safe_) {
    safe_ = !safe_;
    const auto colors = MemoryBar::colors(safe_);
    app_->setSwatch(colors[0]);
    wired_->setSwatch(colors[1]);
    compressed_->setSwatch(colors[2]);
    cached_->setSwatch(colors[3]);
    swapMeter_->setColor(MetricFamilies::color(MetricFamily::memory, safe_));
  }
  return Page::event(event);
}

void MemoryPage::refreshSnapshot() {
  const MemoryPageState state = MemoryPagePresenter::state(model_);
  used_->setValue(state.used);
  badge_->setLevel(state.pressure);
  badge_->setVisible(state.pressure.has_value());
  const auto& snapshot = model_.snapshot();
  if (state.hasSample) bar_->setMemory(*snapshot->memory);
  bar_->setVisible(state.hasSample);
  app_->setValue(state.app);
  wired_->setValue(state.wired);
  compressed_->setValue(state.compressed);
  cached_->setValue(state.cached);
  free_->setValue(state.free);
  pressure_->setVisible(!state.pressureUnavailable);
  pressureUnavailable_->setVisible(state.pressureUnavailable);
  // The estimate badge belongs to a level; the unavailable row carries its own.
  pressureCard_->setQuality(state.pressureUnavailable ? std::nullopt
                                                      : std::optional(MetricQuality::estimated));
  swapUsed_->setValue(state.swapUsed);
  swapTotal_->setValue(state.swapTotal);
  swapMeter_->setFraction(state.swapFraction);
  swapMeter_->setVisible(state.swapFraction.has_value());
  pageIns_->setValue(state.pageIns);
  pageOuts_->setValue(state.pageOuts);
  swapIns_->setValue(state.swapIns);
  swapOuts_->setValue(state.swapOuts);
  pageSize_->setValue(state.pageSize);
}

void MemoryPage::refreshLive() {
  std::vector<LiveSeries> series(3);
  series[0] = {QStringLiteral("app"), kivo::tr("App memory"), ChartColor::of(MetricFamily::memory), {}};
  series[0].assign(model_.live(MetricID::memApp));
  series[1] = {QStringLiteral("wired"), kivo::tr("Wired memory"), ChartColor::of(MetricFamily::disk), {}};
  series[1].assign(model_.live(MetricID::memWired));
  series[2] = {QStringLiteral("compressed"), kivo::tr("Compressed"), ChartColor::of(MetricFamily::gpu), {}};
  series[2].assign(model_.live(MetricID::memCompressed));
  inUse_->setSeries(std::move(series));
  std::vector<LiveSeries> levels(1);
  levels[0] = {
      QStringLiteral("pressure"), kivo::tr("Memory pressure level"), ChartColor::of(Palette::warning), {}};
  levels[0].assign(model_.live(MetricID::memPressure));
  pressure_->setSeries(std::move(levels));
}

void MemoryPage::refreshProcesses() {
  processes_->setSample(model_.processes(), model_.format());
}

}  // namespace kivo
