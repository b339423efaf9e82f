#include "features/dashboard/widgets/SystemWidget.h"

#include "design/KeyValueRow.h"
#include "features/dashboard/WidgetPresenter.h"
#include "texts/Localized.h"

#include <QBoxLayout>
#include <QDateTime>

namespace kivo {

SystemWidget::SystemWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::system, size, parent) {
  auto* layout = columnLayout();
  const char* keys[] = {"Uptime", "Processes", "Load average (1 min)", "Model"};
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i] = new KeyValueRow(kivo::tr(keys[i]), std::nullopt, std::nullopt, std::nullopt, column());
    layout->addWidget(rows_[i]);
  }
  layout->addStretch(1);
  refresh();
}

void SystemWidget::refresh() {
  const auto state = WidgetPresenter::system(model(), QDateTime::currentDateTimeUtc());
  rows_[0]->setValue(state.uptime);
  rows_[1]->setValue(state.processes);
  rows_[2]->setValue(state.load);
  rows_[3]->setValue(state.model);
}

}  // namespace kivo
