#include "features/dashboard/widgets/OverheadWidget.h"

#include "design/KeyValueRow.h"
#include "design/Sparkline.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

OverheadWidget::OverheadWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::overhead, size, parent) {
  auto* layout = columnLayout();
  const char* keys[] = {"CPU (of one core)", "Memory footprint", "Collection time per sample"};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i] = new KeyValueRow(kivo::tr(keys[i]), std::nullopt, std::nullopt, std::nullopt, column());
    layout->addWidget(rows_[i]);
  }
  sparkline_ = WidgetParts::sparkline(column(), ChartColor::of(WidgetCatalog::family(WidgetKind::overhead)));
  layout->addWidget(sparkline_, 1);
  refresh();
}

void OverheadWidget::refresh() {
  const auto state = WidgetPresenter::overhead(model());
  rows_[0]->setValue(state.cpu);
  rows_[1]->setValue(state.memory);
  rows_[2]->setValue(state.collection);
  sparkline_->setValues(tail(MetricID::selfCPU, WidgetFigures::kCeilingWindow, buffer_));
}

}  // namespace kivo
