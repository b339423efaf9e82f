#include "features/dashboard/widgets/GPUWidget.h"

#include "design/BareLayout.h"
#include "design/Readout.h"
#include "design/Sparkline.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"
#include "texts/GPUText.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

GPUWidget::GPUWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::gpu, size, parent) {
  figures_ = new QWidget(column());
  auto* inner = bareColumn(figures_, 8);
  inner->addWidget(WidgetParts::figureWithCaption(figures_, readout_, caption_, 28));
  sparkline_ = WidgetParts::sparkline(figures_, ChartColor::of(WidgetCatalog::family(WidgetKind::gpu)));
  sparkline_->setCeiling(100);
  inner->addWidget(sparkline_, 1);
  auto* layout = columnLayout();
  layout->addWidget(figures_, 1);
  noFigure_ = new UnavailableRow(kivo::tr("GPU utilization"),
                                 kivo::tr("The graphics driver publishes no utilization figure."), figures_);
  inner->addWidget(noFigure_);
  inner->addStretch(0);
  turnedOff_ = new UnavailableRow(kivo::tr("GPU utilization"), GPUText::turnedOff(), column());
  layout->addWidget(turnedOff_);
  noDevice_ = new UnavailableRow(kivo::tr("GPU utilization"), GPUText::noDevice(), column());
  layout->addWidget(noDevice_);
  layout->addStretch(0);
  refresh();
}

void GPUWidget::refresh() {
  const auto state = WidgetPresenter::gpu(model());
  const bool figures =
      state.shows == GPUUtilizationState::figure || state.shows == GPUUtilizationState::noFigure;
  turnedOff_->setVisible(state.shows == GPUUtilizationState::bestEffortOff);
  noDevice_->setVisible(state.shows == GPUUtilizationState::noDevice);
  figures_->setVisible(figures);
  if (!figures) return;
  readout_->setValue(state.value);
  WidgetParts::setCaption(caption_, state.caption);
  const bool noFigure = state.shows == GPUUtilizationState::noFigure;
  noFigure_->setVisible(noFigure);
  sparkline_->setVisible(!noFigure);
  sparkline_->setValues(tail(MetricID::gpuUtilization, WidgetFigures::sparklineWindow(size()), buffer_));
}

}  // namespace kivo
