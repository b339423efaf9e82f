#include "features/dashboard/widgets/ThermalWidget.h"

#include "design/BareLayout.h"
#include "design/Readout.h"
#include "design/ThermalScale.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/dashboard/WidgetPresenter.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

ThermalWidget::ThermalWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::thermal, size, parent) {
  figures_ = new QWidget(column());
  auto* inner = bareColumn(figures_, 8);
  readout_ = new Readout(std::nullopt, std::nullopt, 22, Palette::textPrimary, figures_);
  inner->addWidget(readout_);
  inner->addStretch(1);
  scale_ = new ThermalScale(figures_);
  inner->addWidget(scale_);
  noFigure_ = new UnavailableRow(kivo::tr("Thermal state"),
                                 kivo::tr("This computer has no thermal zones with trip points."), figures_);
  inner->addWidget(noFigure_);
  columnLayout()->addWidget(figures_, 1);
  waiting_ = addWaiting();
  refresh();
}

void ThermalWidget::refresh() {
  const auto state = WidgetPresenter::thermal(model());
  waiting_->setVisible(state.waiting);
  figures_->setVisible(!state.waiting);
  if (state.waiting) return;
  readout_->setValue(state.value);
  readout_->setColor(state.color);
  readout_->setCaption(state.caption);
  scale_->setLevel(state.level);
  scale_->setVisible(state.level.has_value());
  noFigure_->setVisible(!state.level);
}

}  // namespace kivo
