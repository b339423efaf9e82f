#include "features/dashboard/WidgetView.h"

#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/widgets/AlertsWidget.h"
#include "features/dashboard/widgets/BatteryWidget.h"
#include "features/dashboard/widgets/CPUWidget.h"
#include "features/dashboard/widgets/CoresWidget.h"
#include "features/dashboard/widgets/GPUWidget.h"
#include "features/dashboard/widgets/MemoryWidget.h"
#include "features/dashboard/widgets/OverheadWidget.h"
#include "features/dashboard/widgets/RatesWidget.h"
#include "features/dashboard/widgets/SystemWidget.h"
#include "features/dashboard/widgets/ThermalWidget.h"
#include "features/dashboard/widgets/TopProcessesWidget.h"
#include "features/dashboard/widgets/VolumesWidget.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <QBoxLayout>
#include <QEvent>

#include <algorithm>

namespace kivo {

namespace {

std::optional<MetricQuality> cardQuality(WidgetKind kind) {
  return kind == WidgetKind::gpu ? std::optional(MetricQuality::bestEffort) : std::nullopt;
}

int stackSpacing(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::cores:
      return 0;
    case WidgetKind::diskActivity:
    case WidgetKind::network:
      return 4;
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
    case WidgetKind::system:
    case WidgetKind::alerts:
    case WidgetKind::overhead:
      return 5;
    default:
      return 8;
  }
}

}  // namespace

WidgetView* WidgetView::create(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent) {
  switch (kind) {
    case WidgetKind::cpu:
      return new CPUWidget(model, size, parent);
    case WidgetKind::cores:
      return new CoresWidget(model, size, parent);
    case WidgetKind::gpu:
      return new GPUWidget(model, size, parent);
    case WidgetKind::memory:
      return new MemoryWidget(model, size, parent);
    case WidgetKind::disk:
      return new VolumesWidget(model, size, parent);
    case WidgetKind::diskActivity:
    case WidgetKind::network:
      return new RatesWidget(model, kind, size, parent);
    case WidgetKind::battery:
      return new BatteryWidget(model, size, parent);
    case WidgetKind::thermal:
      return new ThermalWidget(model, size, parent);
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
      return new TopProcessesWidget(model, kind, size, parent);
    case WidgetKind::system:
      return new SystemWidget(model, size, parent);
    case WidgetKind::alerts:
      return new AlertsWidget(model, size, parent);
    case WidgetKind::overhead:
      return new OverheadWidget(model, size, parent);
  }
  return new SystemWidget(model, size, parent);
}

WidgetView::WidgetView(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent)
    : Card(QString::fromLatin1(WidgetCatalog::titleKey(kind)), WidgetCatalog::family(kind), cardQuality(kind),
           parent),
      model_(model),
      kind_(kind),
      size_(size) {
  // The body takes the room the row leaves, so sparklines fill the card's bottom.
  if (auto* column = qobject_cast<QBoxLayout*>(layout())) {
    column->setStretchFactor(body(), 1);
    column->setStretch(column->count() - 1, 0);
  }
  column_ = new QWidget(this);
  bareColumn(column_, stackSpacing(kind));
  addContent(column_);
  body()->setStretchFactor(column_, 1);
}

unsigned WidgetView::sources(WidgetKind kind) {
  // A tick announces the snapshot and then the live series, with the state already whole, so
  // a view that plots a series refreshes once, on the latter.
  switch (kind) {
    case WidgetKind::cpu:
    case WidgetKind::diskActivity:
    case WidgetKind::network:
    case WidgetKind::overhead:
      return live;
    case WidgetKind::gpu:
      return live | settings;
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
      return processes;
    case WidgetKind::alerts:
      return firing | findings | settings;
    default:
      return snapshot;
  }
}

void WidgetView::setSize(WidgetSize size) {
  if (size == size_) return;
  size_ = size;
  refresh();
}

QVBoxLayout* WidgetView::columnLayout() const {
  return static_cast<QVBoxLayout*>(column_->layout());
}

ToneLabel* WidgetView::addWaiting() {
  auto* waiting =
      new ToneLabel(kivo::tr("Collecting samples…"), Typeface::caption(), Palette::textTertiary, column_);
  waiting->setObjectName(QStringLiteral("widget.waiting"));
  waiting->setAlignment(Qt::AlignCenter);
  waiting->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  columnLayout()->addWidget(waiting);
  return waiting;
}

bool WidgetView::event(QEvent* event) {
  if (event->type() == Environment::changedEventType() || event->type() == QEvent::ParentChange)
    applyColors();
  return Card::event(event);
}

const std::vector<double>& WidgetView::tail(MetricID metric, int last, std::vector<double>& into) const {
  into.clear();
  const LiveRing& series = model_.live(metric);
  const int count = std::clamp(last, 0, series.size());
  for (int i = series.size() - count; i < series.size(); ++i) into.push_back(series[i].value);
  return into;
}

}  // namespace kivo
