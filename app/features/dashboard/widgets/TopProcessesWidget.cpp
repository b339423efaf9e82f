#include "features/dashboard/widgets/TopProcessesWidget.h"

#include "design/ToneLabel.h"
#include "features/dashboard/WidgetLine.h"
#include "features/dashboard/WidgetPresenter.h"

#include <QBoxLayout>

namespace kivo {

TopProcessesWidget::TopProcessesWidget(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent)
    : WidgetView(model, kind, size, parent), byMemory_(kind == WidgetKind::topMemory) {
  auto* layout = columnLayout();
  for (std::size_t i = 0; i < WidgetFigures::kProcessRows; ++i) {
    lines_.push_back(new WidgetLine(Typeface::system(12), Palette::textPrimary, Typeface::value(),
                                    Palette::textPrimary, Qt::ElideMiddle, column()));
    lines_.back()->setObjectName(QStringLiteral("widget.process"));
    layout->addWidget(lines_.back());
  }
  waiting_ = addWaiting();
  layout->addStretch(0);
  refresh();
}

void TopProcessesWidget::refresh() {
  const auto state = WidgetPresenter::top(model(), byMemory_);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->setVisible(i < state.count);
    if (i < state.count) lines_[i]->setTexts(state.lines[i].name, state.lines[i].value);
  }
  waiting_->setVisible(state.count == 0);
}

}  // namespace kivo
