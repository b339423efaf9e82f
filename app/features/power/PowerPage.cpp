#include "features/power/PowerPage.h"

#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Environment.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/Meter.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/power/PowerPresenter.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"
#include "texts/PowerText.h"

#include <QVBoxLayout>

#include <array>

namespace kivo {

namespace {

QWidget* column(QWidget* parent, int spacing, QVBoxLayout** layout) {
  auto* widget = new QWidget(parent);
  auto* box = bareColumn(widget, spacing);
  *layout = box;
  return widget;
}

// Rows are updated in place; a row that appears (a time estimate, the adapter) is added at the
// end and one that goes away is removed, so the short list never flickers.
void syncRows(QVBoxLayout* layout, std::vector<KeyValueRow*>& views,
              const std::vector<PowerPresenter::Row>& rows) {
  while (views.size() > rows.size()) {
    KeyValueRow* view = views.back();
    views.pop_back();
    layout->removeWidget(view);
    view->hide();
    view->deleteLater();
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i == views.size()) {
      auto* view = new KeyValueRow(rows[i].label, rows[i].value, rows[i].quality, std::nullopt,
                                   layout->parentWidget());
      layout->addWidget(view);
      views.push_back(view);
      continue;
    }
    views[i]->setLabel(rows[i].label);
    views[i]->setValue(rows[i].value);
    views[i]->setQuality(rows[i].quality);
  }
}

}  // namespace

PowerPage::PowerPage(MonitorModel& model, QWidget* parent) : Page(parent), model_(model) {
  build();
  refreshSnapshot();
  refreshLive();
  refreshProcesses();
  connect(&model_, &MonitorModel::snapshotChanged, this, &PowerPage::refreshSnapshot);
  connect(&model_, &MonitorModel::liveChanged, this, &PowerPage::refreshLive);
  connect(&model_, &MonitorModel::processesChanged, this, &PowerPage::refreshProcesses);
}

bool PowerPage::event(QEvent* event) {
  if (event->type() == Environment::changedEventType()) refreshSnapshot();
  return Page::event(event);
}

void PowerPage::build() {
  header_ = new PageHeader(QStringLiteral("Power"), std::nullopt, MetricFamily::power);
  addWidget(header_);

  // With a battery: charge and state beside the charge chart, then health beside flow.
  batteryRow_ = new CardRow;
  batteryRow_->setObjectName(QStringLiteral("power.batteryCards"));
  auto* battery = new Card(QStringLiteral("Battery"), MetricFamily::power);
  battery->setObjectName(QStringLiteral("power.battery"));
  battery->setMinimumWidth(280);
  battery->setMaximumWidth(380);
  QVBoxLayout* readout = nullptr;
  QWidget* readoutColumn = column(battery, Readout::kSpacing, &readout);
  charge_ = new Readout(std::nullopt, std::nullopt, 34, Palette::textPrimary, readoutColumn);
  state_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, readoutColumn);
  readout->addWidget(charge_);
  readout->addWidget(state_);
  battery->addContent(readoutColumn);
  meter_ = new Meter(std::nullopt, MetricFamilies::color(MetricFamily::power, false), 8, battery);
  meter_->setObjectName(QStringLiteral("power.meter"));
  battery->addContent(meter_);
  QWidget* rows = column(battery, 6, &batteryRows_);
  battery->addContent(rows);
  batteryLowPowerUnavailable_ =
      new UnavailableRow(tr("Low Power Mode"), PowerPresenter::lowPowerReason(), battery);
  battery->addContent(batteryLowPowerUnavailable_);
  battery->body()->addStretch();
  batteryRow_->addWidget(battery);
  auto* charge = new Card(QStringLiteral("Charge"), MetricFamily::power);
  chargeChart_ = new LiveChart(charge);
  LiveChartOptions chargeOptions;
  chargeOptions.domain = ChartRange{0, 100};
  chargeOptions.format = [format = model_.format()](double value) { return format.percent(value, 0); };
  chargeOptions.axis = AxisUnit::percent(model_.format().locale);
  chargeOptions.height = 180;
  chargeChart_->setOptions(std::move(chargeOptions));
  charge->addContent(chargeChart_);
  charge->addContent(ToneLabel::note(
      tr("The live window covers the last few minutes. Longer charge and discharge history is on "
         "the History page."),
      charge, false));
  chargeSeries_ = {
      LiveSeries{QStringLiteral("charge"), tr("Battery charge"), ChartColor::of(MetricFamily::power), {}}};
  batteryRow_->addWidget(charge);
  addWidget(batteryRow_);

  healthRow_ = new CardRow;
  auto* health = new Card(QStringLiteral("Health"), MetricFamily::power, MetricQuality::bestEffort);
  health->setObjectName(QStringLiteral("power.health"));
  QWidget* healthColumn = column(health, 6, &healthRows_);
  health->addContent(healthColumn);
  health->addContent(ToneLabel::note(
      tr("These values come from the battery driver's entries under /sys/class/power_supply, "
         "which differ from driver to driver. Your desktop's power settings remain the reference "
         "for battery health."),
      health));
  health->body()->addStretch();
  healthRow_->addWidget(health);
  auto* flow = new Card(QStringLiteral("Power flow"), MetricFamily::power, MetricQuality::bestEffort);
  flow->setObjectName(QStringLiteral("power.flow"));
  for (const auto& row : PowerPresenter::flowRows(PowerSample{}, model_.format())) {
    auto* view = new KeyValueRow(row.label, row.value, row.quality, std::nullopt, flow);
    flowRowViews_.push_back(view);
    flow->addContent(view);
  }
  flowChart_ = new LiveChart(flow);
  LiveChartOptions flowOptions;
  flowOptions.format = [format = model_.format()](double value) {
    return format.number(value, 0) + QStringLiteral(" W");
  };
  flowOptions.axis = AxisUnit::number(QStringLiteral(" W"));
  flowOptions.height = 110;
  flowChart_->setOptions(std::move(flowOptions));
  flow->addContent(flowChart_);
  flow->addContent(ToneLabel::note(
      tr("Battery flow is voltage × current at the battery: negative while it discharges, positive "
         "while it charges. It is not the computer's total consumption when an adapter is connected."),
      flow));
  flowSeries_ = {
      LiveSeries{QStringLiteral("flow"), tr("Battery flow"), ChartColor::of(MetricFamily::power), {}}};
  healthRow_->addWidget(flow);
  addWidget(healthRow_);

  // Without a battery.
  sourceCard_ = new Card(QStringLiteral("Power source"), MetricFamily::power);
  sourceCard_->setObjectName(QStringLiteral("power.source"));
  source_ = new Readout(std::nullopt, QStringLiteral("This computer has no battery."), 26,
                        Palette::textPrimary, sourceCard_);
  sourceCard_->addContent(source_);
  sourceLowPower_ =
      new KeyValueRow(tr("Low Power Mode"), std::nullopt, std::nullopt, std::nullopt, sourceCard_);
  sourceCard_->addContent(sourceLowPower_);
  sourceLowPowerUnavailable_ =
      new UnavailableRow(tr("Low Power Mode"), PowerPresenter::lowPowerReason(), sourceCard_);
  sourceCard_->addContent(sourceLowPowerUnavailable_);
  sourceCard_->addContent(new UnavailableRow(
      tr("Power drawn by this computer"),
      tr("Computers without a battery publish no power figure through supported system interfaces."),
      sourceCard_));
  addWidget(sourceCard_);

  auto* energy = new Card(QStringLiteral("Energy by process"), MetricFamily::power);
  energy->setObjectName(QStringLiteral("power.energy"));
  QWidget* energyColumn = column(energy, 6, &energyRows_);
  energy->addContent(energyColumn);
  energyUnavailable_ = new UnavailableRow(
      tr("Per-process energy"),
      tr("Linux keeps no per-process energy accounting that an ordinary user can read."), energy);
  energy->addContent(energyUnavailable_);
  addWidget(energy);

  static constexpr std::array kSources{MetricID::batteryCharge, MetricID::batteryPower};
  addWidget(new SourcesCard(kSources));
}

void PowerPage::refreshSnapshot() {
  const TelemetrySnapshot* snapshot = model_.snapshot().get();
  if (!snapshot) {
    header_->setSubtitle(std::nullopt);
    batteryRow_->hide();
    healthRow_->hide();
    sourceCard_->hide();
    return;
  }
  const PowerSample& power = snapshot->power;
  const ValueFormatter& format = model_.format();
  header_->setSubtitle(PowerText::state(power));
  batteryRow_->setVisible(power.hasBattery);
  healthRow_->setVisible(power.hasBattery);
  sourceCard_->setVisible(!power.hasBattery);
  if (!power.hasBattery) {
    source_->setValue(PowerText::source(power.source));
    const auto lowPower = PowerPresenter::lowPowerText(power);
    sourceLowPower_->setVisible(lowPower.has_value());
    sourceLowPower_->setValue(lowPower);
    sourceLowPowerUnavailable_->setVisible(!lowPower);
    return;
  }
  charge_->setValue(PowerPresenter::chargeText(power, format));
  state_->setText(PowerText::state(power));
  meter_->setFraction(PowerPresenter::meterFraction(power));
  meter_->setColor(PowerPresenter::meterDanger(power)
                       ? Palette::danger
                       : MetricFamilies::color(MetricFamily::power, Environment::colorBlindSafe(this)));
  syncRows(batteryRows_, batteryRowViews_, PowerPresenter::batteryRows(power, format));
  batteryLowPowerUnavailable_->setVisible(!power.lowPowerMode);
  syncRows(healthRows_, healthRowViews_, PowerPresenter::healthRows(power, format));
  const auto flow = PowerPresenter::flowRows(power, format);
  for (std::size_t i = 0; i < flow.size() && i < flowRowViews_.size(); ++i)
    flowRowViews_[i]->setValue(flow[i].value);
}

void PowerPage::refreshLive() {
  chargeSeries_[0].assign(model_.live(MetricID::batteryCharge));
  chargeChart_->setSeries(chargeSeries_);
  flowSeries_[0].assign(model_.live(MetricID::batteryPower));
  flowChart_->setSeries(flowSeries_);
}

void PowerPage::refreshProcesses() {
  const auto energy = PowerPresenter::energyRows(model_.processes(), model_.format());
  std::vector<PowerPresenter::Row> rows;
  for (const auto& row : energy) rows.push_back({row.name, row.value, std::nullopt});
  syncRows(energyRows_, energyRowViews_, rows);
  energyRows_->parentWidget()->setVisible(!energy.empty());
  energyUnavailable_->setVisible(energy.empty());
}

}  // namespace kivo
