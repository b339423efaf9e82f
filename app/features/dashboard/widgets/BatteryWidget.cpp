#include "features/dashboard/widgets/BatteryWidget.h"

#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/KeyValueRow.h"
#include "design/Meter.h"
#include "design/Readout.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

BatteryWidget::BatteryWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::battery, size, parent) {
  auto* layout = columnLayout();
  batteryPart_ = new QWidget(column());
  auto* inner = bareColumn(batteryPart_, 8);
  inner->addWidget(WidgetParts::figureWithCaption(batteryPart_, readout_, caption_, 28));
  inner->addStretch(1);
  meter_ = new Meter(std::nullopt, Palette::accent, 6, batteryPart_);
  inner->addWidget(meter_);
  time_ = new KeyValueRow(kivo::tr("Remaining"), std::nullopt, MetricQuality::estimated, std::nullopt,
                          batteryPart_);
  inner->addWidget(time_);
  layout->addWidget(batteryPart_, 1);

  acPart_ = new QWidget(column());
  auto* ac = bareColumn(acPart_, 4);
  source_ = new Readout(std::nullopt, std::nullopt, 20, Palette::textPrimary, acPart_);
  ac->addWidget(source_);
  auto* note = new ToneLabel(kivo::tr("This computer has no battery."), Typeface::caption(),
                             Palette::textSecondary, acPart_);
  note->setWordWrap(true);
  ac->addWidget(note);
  ac->addStretch(1);
  layout->addWidget(acPart_, 1);
  waiting_ = addWaiting();
  refresh();
}

void BatteryWidget::refresh() {
  const auto state = WidgetPresenter::battery(model());
  waiting_->setVisible(state.waiting);
  batteryPart_->setVisible(state.hasBattery);
  acPart_->setVisible(!state.waiting && !state.hasBattery);
  if (!state.hasBattery) {
    source_->setValue(state.source);
    return;
  }
  readout_->setValue(state.charge);
  WidgetParts::setCaption(caption_, state.caption);
  meter_->setFraction(state.meter.fraction);
  meter_->setColor(state.meter.danger
                       ? Palette::danger
                       : MetricFamilies::color(MetricFamily::power, Environment::colorBlindSafe(this)));
  // The row's label changes with the charging state.
  time_->setVisible(state.timeLabel.has_value());
  if (state.timeLabel) {
    time_->setLabel(*state.timeLabel);
    time_->setValue(state.time);
  }
}

}  // namespace kivo
