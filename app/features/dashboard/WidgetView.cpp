#include "features/dashboard/WidgetView.h"

#include "design/CoreBars.h"
#include "design/Environment.h"
#include "design/HintFence.h"
#include "design/KeyValueRow.h"
#include "design/MemoryBar.h"
#include "design/Meter.h"
#include "design/PressureBadge.h"
#include "design/Readout.h"
#include "design/Sparkline.h"
#include "design/ThermalScale.h"
#include "design/ToneLabel.h"
#include "design/ProcessRanking.h"
#include "design/UnavailableRow.h"
#include "features/dashboard/DualSparkline.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetFigures.h"
#include "features/dashboard/WidgetLine.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/AlertText.h"
#include "texts/Localized.h"
#include "texts/PowerText.h"
#include "texts/ThermalText.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QEvent>

#include <algorithm>

namespace kivo {

namespace {

const QString kDash = QStringLiteral("—");

std::optional<MetricQuality> cardQuality(WidgetKind kind) {
  return kind == WidgetKind::gpu ? std::optional(MetricQuality::bestEffort) : std::nullopt;
}

int stackSpacing(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::cores: return 0;
    case WidgetKind::diskActivity:
    case WidgetKind::network:
      return 4;
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
    case WidgetKind::system:
    case WidgetKind::alerts:
    case WidgetKind::overhead:
      return 5;
    default: return 8;
  }
}

QWidget* row(QWidget* parent, QWidget* first, QWidget* second) {
  auto* widget = new QWidget(parent);
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  layout->addWidget(first, 0, Qt::AlignTop);
  layout->addStretch(1);
  if (second) layout->addWidget(second, 0, Qt::AlignTop);
  return widget;
}

// A big figure with a caption that changes with the data under it.
QWidget* figureWithCaption(QWidget* parent, Readout*& readout, ToneLabel*& caption, qreal size) {
  auto* widget = new QWidget(parent);
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(Readout::kSpacing);
  readout = new Readout(std::nullopt, std::nullopt, size, Palette::textPrimary, widget);
  caption = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, widget);
  caption->setObjectName(QStringLiteral("widget.caption"));
  caption->setTextFormat(Qt::PlainText);
  layout->addWidget(readout);
  // The caption changes with every tick but rarely its width: the fence spares the card a relayout.
  layout->addWidget(new HintFence(caption, widget));
  return widget;
}

QString percentOrDash(const std::optional<double>& value, const ValueFormatter& format, int digits) {
  return value ? format.percent(*value, digits) : kDash;
}

}  // namespace

WidgetView::WidgetView(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent)
    : Card(QString::fromLatin1(WidgetCatalog::titleKey(kind)), WidgetCatalog::family(kind), cardQuality(kind), parent),
      model_(model),
      kind_(kind),
      size_(size) {
  // The body takes the room the row leaves, so sparklines fill the card's bottom.
  if (auto* column = qobject_cast<QBoxLayout*>(layout())) {
    column->setStretchFactor(body(), 1);
    column->setStretch(column->count() - 1, 0);
  }
  build();
  applyColors();
  refresh();
}

unsigned WidgetView::sources(WidgetKind kind) {
  // A tick announces the snapshot and then the live series, with the state already whole, so
  // a view that plots a series refreshes once, on the latter.
  switch (kind) {
    case WidgetKind::cpu:
    case WidgetKind::diskActivity:
    case WidgetKind::network:
    case WidgetKind::overhead:
      return live;
    case WidgetKind::gpu: return live | settings;
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
      return processes;
    case WidgetKind::alerts: return firing | findings | settings;
    default: return snapshot;
  }
}

void WidgetView::setSize(WidgetSize size) {
  if (size == size_) return;
  size_ = size;
  refresh();
}

QWidget* WidgetView::addColumn(int spacing) {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  addContent(column);
  body()->setStretchFactor(column, 1);
  return column;
}

ToneLabel* WidgetView::addWaiting(QWidget* column) {
  auto* waiting = new ToneLabel(kivo::tr("Collecting samples…"), Typeface::caption(), Palette::textTertiary, column);
  waiting->setObjectName(QStringLiteral("widget.waiting"));
  waiting->setAlignment(Qt::AlignCenter);
  waiting->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  column->layout()->addWidget(waiting);
  return waiting;
}

void WidgetView::build() {
  column_ = addColumn(stackSpacing(kind_));
  auto* layout = static_cast<QVBoxLayout*>(column_->layout());
  const ChartColor accent = ChartColor::of(WidgetCatalog::family(kind_));
  switch (kind_) {
    case WidgetKind::cpu:
    case WidgetKind::gpu: {
      figures_ = new QWidget(column_);
      auto* inner = new QVBoxLayout(figures_);
      inner->setContentsMargins(0, 0, 0, 0);
      inner->setSpacing(8);
      inner->addWidget(figureWithCaption(figures_, readout_, caption_, 28));
      sparkline_ = new Sparkline(figures_);
      sparkline_->setColor(accent);
      sparkline_->setCeiling(100);
      sparkline_->setFilled(true);
      sparkline_->setBackdrop(Palette::surface);
      sparkline_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      inner->addWidget(sparkline_, 1);
      layout->addWidget(figures_, 1);
      if (kind_ == WidgetKind::gpu) {
        noFigure_ = new UnavailableRow(kivo::tr("GPU utilization"),
                                       kivo::tr("The graphics driver publishes no utilization figure."), figures_);
        inner->addWidget(noFigure_);
        inner->addStretch(0);
        unavailable_ = new UnavailableRow(kivo::tr("GPU utilization"),
                                          kivo::tr("Best-effort readings are turned off in Settings."), column_);
        layout->addWidget(unavailable_);
        layout->addStretch(0);
      }
      break;
    }
    case WidgetKind::cores:
      cores_ = new CoreBars(column_);
      cores_->setColor(accent);
      cores_->setBackdrop(Palette::surface);
      cores_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      layout->addWidget(cores_, 1);
      waiting_ = addWaiting(column_);
      break;
    case WidgetKind::memory: {
      figures_ = new QWidget(column_);
      auto* inner = new QVBoxLayout(figures_);
      inner->setContentsMargins(0, 0, 0, 0);
      inner->setSpacing(8);
      pressure_ = new PressureBadge(figures_);
      inner->addWidget(row(figures_, figureWithCaption(figures_, readout_, caption_, 28), pressure_));
      memoryBar_ = new MemoryBar(figures_);
      inner->addWidget(memoryBar_);
      rows_.push_back(new KeyValueRow(kivo::tr("Swap used"), std::nullopt, std::nullopt, std::nullopt, figures_));
      inner->addWidget(rows_.back());
      inner->addStretch(1);
      layout->addWidget(figures_, 1);
      waiting_ = addWaiting(column_);
      break;
    }
    case WidgetKind::disk:
      for (int i = 0; i < 3; ++i) {
        VolumeBlock block;
        block.block = new QWidget(column_);
        auto* inner = new QVBoxLayout(block.block);
        inner->setContentsMargins(0, 0, 0, 0);
        inner->setSpacing(3);
        block.line = new WidgetLine(Typeface::system(12, QFont::Medium), Palette::textPrimary, Typeface::caption(),
                                    Palette::textSecondary, Qt::ElideRight, block.block);
        block.meter = new Meter(std::nullopt, Palette::accent, 6, block.block);
        inner->addWidget(block.line);
        inner->addWidget(block.meter);
        layout->addWidget(block.block);
        volumes_.push_back(block);
      }
      waiting_ = addWaiting(column_);
      layout->addStretch(0);
      break;
    case WidgetKind::diskActivity:
    case WidgetKind::network: {
      const bool disk = kind_ == WidgetKind::diskActivity;
      readout_ = new Readout(std::nullopt, QString::fromLatin1(disk ? "Read" : "Download"), 20, Palette::textPrimary,
                             column_);
      second_ = new Readout(std::nullopt, QString::fromLatin1(disk ? "Write" : "Upload"), 20, Palette::textSecondary,
                            column_);
      layout->addWidget(row(column_, readout_, second_));
      dual_ = new DualSparkline(accent, column_);
      layout->addWidget(dual_, 1);
      break;
    }
    case WidgetKind::battery: {
      batteryPart_ = new QWidget(column_);
      auto* inner = new QVBoxLayout(batteryPart_);
      inner->setContentsMargins(0, 0, 0, 0);
      inner->setSpacing(8);
      inner->addWidget(figureWithCaption(batteryPart_, readout_, caption_, 28));
      inner->addStretch(1);
      meter_ = new Meter(std::nullopt, Palette::accent, 6, batteryPart_);
      inner->addWidget(meter_);
      rows_.push_back(new KeyValueRow(kivo::tr("Remaining"), std::nullopt, MetricQuality::estimated, std::nullopt,
                                      batteryPart_));
      rows_.back()->setProperty("label", kivo::tr("Remaining"));
      inner->addWidget(rows_.back());
      layout->addWidget(batteryPart_, 1);

      acPart_ = new QWidget(column_);
      auto* ac = new QVBoxLayout(acPart_);
      ac->setContentsMargins(0, 0, 0, 0);
      ac->setSpacing(4);
      second_ = new Readout(kivo::tr("AC power"), std::nullopt, 20, Palette::textPrimary, acPart_);
      ac->addWidget(second_);
      auto* note = new ToneLabel(kivo::tr("This computer has no battery."), Typeface::caption(), Palette::textSecondary,
                                 acPart_);
      note->setWordWrap(true);
      ac->addWidget(note);
      ac->addStretch(1);
      layout->addWidget(acPart_, 1);
      waiting_ = addWaiting(column_);
      break;
    }
    case WidgetKind::thermal: {
      figures_ = new QWidget(column_);
      auto* inner = new QVBoxLayout(figures_);
      inner->setContentsMargins(0, 0, 0, 0);
      inner->setSpacing(8);
      readout_ = new Readout(std::nullopt, QStringLiteral("Reported by the kernel"), 22, Palette::textPrimary, figures_);
      inner->addWidget(readout_);
      inner->addStretch(1);
      thermal_ = new ThermalScale(figures_);
      inner->addWidget(thermal_);
      noFigure_ = new UnavailableRow(kivo::tr("Thermal state"),
                                     kivo::tr("This computer has no thermal zones with trip points."), figures_);
      inner->addWidget(noFigure_);
      layout->addWidget(figures_, 1);
      waiting_ = addWaiting(column_);
      break;
    }
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
      for (std::size_t i = 0; i < WidgetFigures::kProcessRows; ++i) {
        lines_.push_back(new WidgetLine(Typeface::system(12), Palette::textPrimary, Typeface::value(),
                                        Palette::textPrimary, Qt::ElideMiddle, column_));
        lines_.back()->setObjectName(QStringLiteral("widget.process"));
        layout->addWidget(lines_.back());
      }
      waiting_ = addWaiting(column_);
      layout->addStretch(0);
      break;
    case WidgetKind::system:
      for (const char* key : {"Uptime", "Processes", "Load average (1 min)", "Model"}) {
        rows_.push_back(new KeyValueRow(kivo::tr(key), std::nullopt, std::nullopt, std::nullopt, column_));
        layout->addWidget(rows_.back());
      }
      layout->addStretch(1);
      break;
    case WidgetKind::alerts: {
      for (std::size_t i = 0; i < WidgetFigures::kAlertRows; ++i) {
        lines_.push_back(new WidgetLine(Typeface::system(12, QFont::Medium), Palette::textPrimary, Typeface::caption(),
                                        Palette::textSecondary, Qt::ElideRight, column_));
        lines_.back()->setObjectName(QStringLiteral("widget.alert"));
        layout->addWidget(lines_.back());
      }
      calm_ = new QWidget(column_);
      auto* inner = new QVBoxLayout(calm_);
      inner->setContentsMargins(0, 0, 0, 0);
      inner->setSpacing(4);
      calmTitle_ = new WidgetLine(Typeface::system(13, QFont::Medium), Palette::success, Typeface::caption(),
                                  Palette::textSecondary, Qt::ElideRight, calm_);
      calmTitle_->setSymbol(QStringLiteral("checkmark.circle.fill"), Palette::success);
      calmTitle_->setTexts(kivo::tr("No active alert"), QString());
      watched_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, calm_);
      findings_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, calm_);
      inner->addWidget(calmTitle_);
      inner->addWidget(watched_);
      inner->addWidget(findings_);
      layout->addWidget(calm_);
      layout->addStretch(1);
      break;
    }
    case WidgetKind::overhead: {
      for (const char* key : {"CPU (of one core)", "Memory footprint", "Collection time per sample"}) {
        rows_.push_back(new KeyValueRow(kivo::tr(key), std::nullopt, std::nullopt, std::nullopt, column_));
        layout->addWidget(rows_.back());
      }
      sparkline_ = new Sparkline(column_);
      sparkline_->setColor(accent);
      sparkline_->setFilled(true);
      sparkline_->setBackdrop(Palette::surface);
      sparkline_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      layout->addWidget(sparkline_, 1);
      break;
    }
  }
}

bool WidgetView::event(QEvent* event) {
  if (event->type() == Environment::changedEventType() || event->type() == QEvent::ParentChange) applyColors();
  return Card::event(event);
}

void WidgetView::applyColors() {
  // Meters take a fixed colour: the family's, as the colour-blind choice has it now.
  if (kind_ == WidgetKind::battery || kind_ == WidgetKind::disk) refresh();
}

const std::vector<double>& WidgetView::tail(MetricID metric, int last, std::vector<double>& into) const {
  into.clear();
  const LiveRing& series = model_.live(metric);
  const int count = std::clamp(last, 0, series.size());
  for (int i = series.size() - count; i < series.size(); ++i) into.push_back(series[i].value);
  return into;
}

void WidgetView::refresh() {
  switch (kind_) {
    case WidgetKind::cpu: refreshCPU(); break;
    case WidgetKind::cores: refreshCores(); break;
    case WidgetKind::gpu: refreshGPU(); break;
    case WidgetKind::memory: refreshMemory(); break;
    case WidgetKind::disk: refreshDisk(); break;
    case WidgetKind::diskActivity: refreshDual(MetricID::diskRead, MetricID::diskWrite); break;
    case WidgetKind::network: refreshDual(MetricID::netDown, MetricID::netUp); break;
    case WidgetKind::battery: refreshBattery(); break;
    case WidgetKind::thermal: refreshThermal(); break;
    case WidgetKind::topCPU: refreshTop(false); break;
    case WidgetKind::topMemory: refreshTop(true); break;
    case WidgetKind::system: refreshSystem(); break;
    case WidgetKind::alerts: refreshAlerts(); break;
    case WidgetKind::overhead: refreshOverhead(); break;
  }
}

void WidgetView::refreshCPU() {
  const ValueFormatter& format = model_.format();
  readout_->setValue(percentOrDash(model_.latest(MetricID::cpuTotal), format, 0));
  const QString caption = WidgetFigures::cpuCaption(model_.snapshot().get(), format);
  if (caption_->text() != caption) caption_->setText(caption);
  sparkline_->setValues(tail(MetricID::cpuTotal, WidgetFigures::sparklineWindow(size_), bufferA_));
}

void WidgetView::refreshCores() {
  const auto& snapshot = model_.snapshot();
  const bool has = snapshot && snapshot->cpu;
  cores_->setVisible(has);
  waiting_->setVisible(!has);
  if (has) cores_->setCores(snapshot->cpu->cores);
}

void WidgetView::refreshGPU() {
  const bool on = model_.settings().telemetry().bestEffortMetrics;
  unavailable_->setVisible(!on);
  figures_->setVisible(on);
  if (!on) return;
  const auto latest = model_.latest(MetricID::gpuUtilization);
  readout_->setValue(percentOrDash(latest, model_.format(), 0));
  const auto& devices = model_.gpuDevices();
  const QString name = devices.empty() ? QString() : devices.front().name;
  if (caption_->text() != name) caption_->setText(name);
  // After a snapshot without a utilisation figure the driver publishes none: say so instead
  // of an empty line.
  const bool none = model_.snapshot() && !latest;
  noFigure_->setVisible(none);
  sparkline_->setVisible(!none);
  sparkline_->setValues(tail(MetricID::gpuUtilization, WidgetFigures::sparklineWindow(size_), bufferA_));
}

void WidgetView::refreshMemory() {
  const auto& snapshot = model_.snapshot();
  const bool has = snapshot && snapshot->memory;
  figures_->setVisible(has);
  waiting_->setVisible(!has);
  if (!has) return;
  const MemorySample& memory = *snapshot->memory;
  const ValueFormatter& format = model_.format();
  readout_->setValue(format.bytes(memory.used, true));
  const QString caption = kivo::tr("of %1 used", format.bytes(memory.physical, true));
  if (caption_->text() != caption) caption_->setText(caption);
  pressure_->setLevel(memory.pressure);
  memoryBar_->setMemory(memory);
  rows_[0]->setVisible(size_ != WidgetSize::small);
  rows_[0]->setValue(format.bytes(memory.swapUsed, true));
}

void WidgetView::refreshDisk() {
  const auto& snapshot = model_.snapshot();
  waiting_->setVisible(!snapshot);
  const bool safe = Environment::colorBlindSafe(this);
  const DynamicColor accent = MetricFamilies::color(MetricFamily::disk, safe);
  const std::size_t shown = snapshot ? std::min<std::size_t>(snapshot->volumes.size(), volumes_.size()) : 0;
  for (std::size_t i = 0; i < volumes_.size(); ++i) {
    VolumeBlock& block = volumes_[i];
    block.block->setVisible(i < shown);
    if (i >= shown) continue;
    const VolumeInfo& volume = snapshot->volumes[i];
    block.line->setTexts(volume.name, kivo::tr("%1 available", model_.format().bytes(volume.available, false)));
    const auto meter = WidgetFigures::volumeMeter(volume);
    block.meter->setFraction(meter.fraction);
    block.meter->setColor(meter.danger ? Palette::danger : accent);
  }
}

void WidgetView::refreshDual(MetricID a, MetricID b) {
  const ValueFormatter& format = model_.format();
  const auto top = model_.latest(a);
  const auto bottom = model_.latest(b);
  readout_->setValue(top ? format.rate(*top) : kDash);
  second_->setValue(bottom ? format.rate(*bottom) : kDash);
  const double ceiling = WidgetFigures::dualCeiling(tail(a, WidgetFigures::kCeilingWindow, bufferA_),
                                                    tail(b, WidgetFigures::kCeilingWindow, bufferB_));
  const int window = WidgetFigures::sparklineWindow(size_);
  const std::span<const double> first(bufferA_.data() + bufferA_.size() - std::min<std::size_t>(bufferA_.size(), window),
                                      std::min<std::size_t>(bufferA_.size(), window));
  const std::span<const double> second(bufferB_.data() + bufferB_.size() - std::min<std::size_t>(bufferB_.size(), window),
                                       std::min<std::size_t>(bufferB_.size(), window));
  dual_->setValues(first, second, ceiling);
}

void WidgetView::refreshBattery() {
  const auto& snapshot = model_.snapshot();
  waiting_->setVisible(!snapshot);
  batteryPart_->setVisible(snapshot && snapshot->power.hasBattery);
  acPart_->setVisible(snapshot && !snapshot->power.hasBattery);
  if (!snapshot || !snapshot->power.hasBattery) return;
  const PowerSample& power = snapshot->power;
  readout_->setValue(power.charge ? model_.format().percent(*power.charge, 0) : kDash);
  const QString state = PowerText::state(power);
  if (caption_->text() != state) caption_->setText(state);
  const auto meter = WidgetFigures::batteryMeter(power);
  meter_->setFraction(meter.fraction);
  meter_->setColor(meter.danger ? Palette::danger
                                : MetricFamilies::color(MetricFamily::power, Environment::colorBlindSafe(this)));
  const auto time = WidgetFigures::batteryTime(power);
  // The row's label changes with the charging state: rebuilt only then.
  if (time && rows_[0]->property("label").toString() != time->label) {
    auto* replacement = new KeyValueRow(time->label, std::nullopt, MetricQuality::estimated, std::nullopt, batteryPart_);
    replacement->setProperty("label", time->label);
    batteryPart_->layout()->replaceWidget(rows_[0], replacement);
    rows_[0]->deleteLater();
    rows_[0] = replacement;
  }
  rows_[0]->setVisible(time.has_value());
  if (time) rows_[0]->setValue(model_.format().duration(time->seconds));
}

void WidgetView::refreshThermal() {
  const auto& snapshot = model_.snapshot();
  waiting_->setVisible(!snapshot);
  figures_->setVisible(snapshot != nullptr);
  if (!snapshot) return;
  const auto level = snapshot->thermal;
  readout_->setValue(level ? ThermalText::name(*level) : kDash);
  readout_->setColor(level ? WidgetFigures::thermalColor(*level) : Palette::textPrimary);
  thermal_->setLevel(level);
  thermal_->setVisible(level.has_value());
  noFigure_->setVisible(!level);
}

void WidgetView::refreshTop(bool byMemory) {
  const auto rows = ProcessRanking::top(model_.processes(), byMemory, WidgetFigures::kProcessRows);
  const ValueFormatter& format = model_.format();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->setVisible(i < rows.size());
    if (i >= rows.size()) continue;
    const ProcessRecord& record = *rows[i];
    const QString value = byMemory ? (record.memory ? format.bytes(*record.memory, true) : kDash)
                                   : percentOrDash(record.cpuPercent, format, 1);
    lines_[i]->setTexts(record.name, value);
  }
  waiting_->setVisible(rows.empty());
}

void WidgetView::refreshSystem() {
  const SystemInfo& system = model_.system();
  const ValueFormatter& format = model_.format();
  const auto uptime = WidgetFigures::uptime(system, QDateTime::currentDateTimeUtc());
  rows_[0]->setValue(uptime ? format.duration(*uptime) : kDash);
  const ProcessSample* processes = model_.processes();
  rows_[1]->setValue(processes ? QString::number(processes->total) : kDash);
  const auto& snapshot = model_.snapshot();
  const bool load = snapshot && snapshot->cpu && !snapshot->cpu->loadAverage.empty();
  rows_[2]->setValue(load ? format.number(snapshot->cpu->loadAverage.front(), 2) : kDash);
  rows_[3]->setValue(system.model);
}

void WidgetView::refreshAlerts() {
  const auto& firing = model_.firing();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->setVisible(i < firing.size());
    if (i >= firing.size()) continue;
    const AlertRule& rule = firing[i];
    lines_[i]->setSymbol(WidgetFigures::severitySymbol(rule.severity), WidgetFigures::severityColor(rule.severity));
    lines_[i]->setTexts(AlertText::title(rule), QString());
  }
  calm_->setVisible(firing.empty());
  if (!firing.empty()) return;
  const auto& rules = model_.settings().rules();
  const auto enabled = std::count_if(rules.begin(), rules.end(), [](const AlertRule& rule) { return rule.isEnabled; });
  const QString watched = kivo::tr("%1 rules are being watched.", QString::number(enabled));
  if (watched_->text() != watched) watched_->setText(watched);
  const auto& findings = model_.findings();
  findings_->setVisible(!findings.empty());
  const QString found = kivo::tr("%1 findings in the last 24 hours.", QString::number(findings.size()));
  if (findings_->text() != found) findings_->setText(found);
}

void WidgetView::refreshOverhead() {
  const ValueFormatter& format = model_.format();
  const auto& snapshot = model_.snapshot();
  rows_[0]->setValue(percentOrDash(model_.latest(MetricID::selfCPU), format, 1));
  rows_[1]->setValue(snapshot && snapshot->selfMemory ? format.bytes(*snapshot->selfMemory, true) : kDash);
  rows_[2]->setValue(snapshot ? kivo::tr("%1 ms", format.number(snapshot->collectionTime, 1)) : kDash);
  sparkline_->setValues(tail(MetricID::selfCPU, WidgetFigures::kCeilingWindow, bufferA_));
}

}  // namespace kivo
