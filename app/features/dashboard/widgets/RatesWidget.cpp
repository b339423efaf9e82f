#include "features/dashboard/widgets/RatesWidget.h"

#include "design/Readout.h"
#include "features/dashboard/DualSparkline.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"

#include <QBoxLayout>

#include <algorithm>
#include <span>

namespace kivo {

RatesWidget::RatesWidget(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent)
    : WidgetView(model, kind, size, parent) {
  const bool disk = kind == WidgetKind::diskActivity;
  first_ = disk ? MetricID::diskRead : MetricID::netDown;
  second_ = disk ? MetricID::diskWrite : MetricID::netUp;
  auto* layout = columnLayout();
  firstReadout_ = new Readout(std::nullopt, QString::fromLatin1(disk ? "Read" : "Download"), 20,
                              Palette::textPrimary, column());
  secondReadout_ = new Readout(std::nullopt, QString::fromLatin1(disk ? "Write" : "Upload"), 20,
                               Palette::textSecondary, column());
  layout->addWidget(WidgetParts::row(column(), firstReadout_, secondReadout_));
  dual_ = new DualSparkline(ChartColor::of(WidgetCatalog::family(kind)), column());
  layout->addWidget(dual_, 1);
  refresh();
}

void RatesWidget::refresh() {
  const auto state = WidgetPresenter::rates(model(), first_, second_);
  firstReadout_->setValue(state.first);
  secondReadout_->setValue(state.second);
  // Both series share a ceiling from the wide window, whatever the card shows of them.
  const double ceiling = WidgetFigures::dualCeiling(tail(first_, WidgetFigures::kCeilingWindow, bufferA_),
                                                    tail(second_, WidgetFigures::kCeilingWindow, bufferB_));
  const auto window = static_cast<std::size_t>(WidgetFigures::sparklineWindow(size()));
  const auto newest = [window](const std::vector<double>& values) {
    const std::size_t count = std::min(values.size(), window);
    return std::span<const double>(values.data() + values.size() - count, count);
  };
  dual_->setValues(newest(bufferA_), newest(bufferB_), ceiling);
}

}  // namespace kivo
