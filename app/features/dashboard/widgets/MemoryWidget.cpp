#include "features/dashboard/widgets/MemoryWidget.h"

#include "design/BareLayout.h"
#include "design/KeyValueRow.h"
#include "design/MemoryBar.h"
#include "design/PressureBadge.h"
#include "design/Readout.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

MemoryWidget::MemoryWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::memory, size, parent) {
  figures_ = new QWidget(column());
  auto* inner = bareColumn(figures_, 8);
  pressure_ = new PressureBadge(figures_);
  inner->addWidget(WidgetParts::row(
      figures_, WidgetParts::figureWithCaption(figures_, readout_, caption_, 28), pressure_));
  memoryBar_ = new MemoryBar(figures_);
  inner->addWidget(memoryBar_);
  swap_ = new KeyValueRow(kivo::tr("Swap used"), std::nullopt, std::nullopt, std::nullopt, figures_);
  inner->addWidget(swap_);
  inner->addStretch(1);
  columnLayout()->addWidget(figures_, 1);
  waiting_ = addWaiting();
  refresh();
}

void MemoryWidget::refresh() {
  const auto state = WidgetPresenter::memory(model(), size());
  figures_->setVisible(state.hasSample);
  waiting_->setVisible(!state.hasSample);
  if (!state.hasSample) return;
  readout_->setValue(state.used);
  WidgetParts::setCaption(caption_, state.caption);
  pressure_->setLevel(state.pressure);
  memoryBar_->setMemory(*model().snapshot()->memory);
  swap_->setVisible(state.swapShown);
  swap_->setValue(state.swapUsed);
}

}  // namespace kivo
