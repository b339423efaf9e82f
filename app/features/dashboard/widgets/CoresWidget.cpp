#include "features/dashboard/widgets/CoresWidget.h"

#include "design/CoreBars.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetCatalog.h"
#include "model/MonitorModel.h"

#include <QBoxLayout>

namespace kivo {

CoresWidget::CoresWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::cores, size, parent) {
  cores_ = new CoreBars(column());
  cores_->setColor(ChartColor::of(WidgetCatalog::family(WidgetKind::cores)));
  cores_->setBackdrop(Palette::surface);
  cores_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  columnLayout()->addWidget(cores_, 1);
  waiting_ = addWaiting();
  refresh();
}

void CoresWidget::refresh() {
  // The bars are the figures: nothing to compose.
  const auto& snapshot = model().snapshot();
  const bool has = snapshot && snapshot->cpu;
  cores_->setVisible(has);
  waiting_->setVisible(!has);
  if (has) cores_->setCores(snapshot->cpu->cores);
}

}  // namespace kivo
