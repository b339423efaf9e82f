#include "features/dashboard/widgets/VolumesWidget.h"

#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/Meter.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetLine.h"
#include "features/dashboard/WidgetPresenter.h"

#include <QBoxLayout>

namespace kivo {

VolumesWidget::VolumesWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::disk, size, parent) {
  static_assert(std::tuple_size_v<decltype(blocks_)> == WidgetPresenter::kVolumeRows);
  auto* layout = columnLayout();
  for (Block& block : blocks_) {
    block.block = new QWidget(column());
    auto* inner = bareColumn(block.block, 3);
    block.line = new WidgetLine(Typeface::system(12, QFont::Medium), Palette::textPrimary,
                                Typeface::caption(), Palette::textSecondary, Qt::ElideRight, block.block);
    block.meter = new Meter(std::nullopt, Palette::accent, 6, block.block);
    inner->addWidget(block.line);
    inner->addWidget(block.meter);
    layout->addWidget(block.block);
  }
  waiting_ = addWaiting();
  layout->addStretch(0);
  refresh();
}

void VolumesWidget::refresh() {
  const auto state = WidgetPresenter::volumes(model());
  waiting_->setVisible(state.waiting);
  const DynamicColor accent = MetricFamilies::color(MetricFamily::disk, Environment::colorBlindSafe(this));
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    Block& block = blocks_[i];
    block.block->setVisible(i < state.count);
    if (i >= state.count) continue;
    const WidgetPresenter::VolumeLine& line = state.lines[i];
    block.line->setTexts(line.name, line.available);
    block.meter->setFraction(line.meter.fraction);
    block.meter->setColor(line.meter.danger ? Palette::danger : accent);
  }
}

}  // namespace kivo
