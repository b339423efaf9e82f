#include "features/dashboard/widgets/CPUWidget.h"

#include "design/BareLayout.h"
#include "design/Readout.h"
#include "design/Sparkline.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"

#include <QBoxLayout>

namespace kivo {

CPUWidget::CPUWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::cpu, size, parent) {
  auto* figures = new QWidget(column());
  auto* inner = bareColumn(figures, 8);
  inner->addWidget(WidgetParts::figureWithCaption(figures, readout_, caption_, 28));
  sparkline_ = WidgetParts::sparkline(figures, ChartColor::of(WidgetCatalog::family(WidgetKind::cpu)));
  sparkline_->setCeiling(100);
  inner->addWidget(sparkline_, 1);
  columnLayout()->addWidget(figures, 1);
  refresh();
}

void CPUWidget::refresh() {
  const auto state = WidgetPresenter::cpu(model());
  readout_->setValue(state.value);
  WidgetParts::setCaption(caption_, state.caption);
  sparkline_->setValues(tail(MetricID::cpuTotal, WidgetFigures::sparklineWindow(size()), buffer_));
}

}  // namespace kivo
