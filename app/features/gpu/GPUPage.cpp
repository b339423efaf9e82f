#include "features/gpu/GPUPage.h"

#include "design/BareLayout.h"
#include "design/CappedWidth.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/KeyValueRow.h"
#include "design/LiveChart.h"
#include "design/PageHeader.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/gpu/GPUPagePresenter.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <array>

namespace kivo {
namespace {

ToneLabel* wrapped(const QString& text, const QFont& font, DynamicColor tone, QWidget* parent) {
  auto* label = new ToneLabel(text, font, tone, parent);
  label->setWordWrap(true);
  return label;
}

// The device facts in two columns when the card is wide enough, one below 624 (two of 300 and
// the gap).
class DeviceFacts : public QWidget {
 public:
  DeviceFacts(const std::vector<GPUPagePresenter::Row>& rows, QWidget* parent) : QWidget(parent) {
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(24);
    grid_->setVerticalSpacing(6);
    for (const auto& row : rows)
      rows_.push_back(new KeyValueRow(row.label, row.value, std::nullopt, std::nullopt, this));
    place(1);
  }

 protected:
  void resizeEvent(QResizeEvent*) override { place(std::max(1, (width() + 24) / (300 + 24))); }

 private:
  void place(int columns) {
    if (columns == columns_) return;
    columns_ = columns;
    for (KeyValueRow* row : rows_) grid_->removeWidget(row);
    for (std::size_t index = 0; index < rows_.size(); ++index) {
      const int i = static_cast<int>(index);
      grid_->addWidget(rows_[index], i / columns, i % columns);
    }
    for (int c = 0; c < 4; ++c) grid_->setColumnStretch(c, c < columns ? 1 : 0);
  }

  QGridLayout* grid_;
  std::vector<KeyValueRow*> rows_;
  int columns_ = 0;
};

}  // namespace

GPUPage::GPUPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : Page(parent), model_(model), settings_(settings) {
  // Without a device there is no subtitle line at all, rather than an empty one.
  const QString names = GPUPagePresenter::subtitle(model.gpuDevices());
  addWidget(new PageHeader(QStringLiteral("GPU"), names.isEmpty() ? std::nullopt : std::optional(names),
                           MetricFamily::gpu));

  auto* first = new CardRow;
  auto* utilization = new Card(QStringLiteral("Utilization"), MetricFamily::gpu, MetricQuality::bestEffort);
  utilization->setObjectName(QStringLiteral("gpu.utilization"));
  // Without a graphics device the chart could never fill, and the note would explain nothing:
  // the utilisation card says so once, across the row.
  const bool hasDevices = !model.gpuDevices().empty();
  if (hasDevices) CappedWidth::apply(utilization, first, 240, 320);
  turnedOff_ = new UnavailableRow(kivo::tr("GPU utilization"), GPUText::turnedOff());
  turnedOff_->setObjectName(QStringLiteral("gpu.turnedOff"));
  noFigure_ = new UnavailableRow(kivo::tr("GPU utilization"),
                                 GPUPagePresenter::noFigureReason(!model.gpuDevices().empty()));
  noFigure_->setObjectName(QStringLiteral("gpu.noFigure"));
  figure_ = new QWidget;
  figure_->setObjectName(QStringLiteral("gpu.figure"));
  auto* figureColumn = bareColumn(figure_, Card::kSpacing);
  readout_ = new Readout(std::nullopt, QStringLiteral("Device utilization reported by the graphics driver"),
                         34, Palette::textPrimary);
  figureColumn->addWidget(readout_);
  figureColumn->addStretch(1);
  cores_ = new KeyValueRow(kivo::tr("GPU cores"), std::nullopt, MetricQuality::bestEffort);
  figureColumn->addWidget(cores_);
  for (QWidget* content : {static_cast<QWidget*>(turnedOff_), static_cast<QWidget*>(noFigure_), figure_}) {
    utilization->addContent(content);
  }
  utilization->body()->addStretch(1);
  first->addWidget(utilization);

  if (hasDevices) {
    auto* historyCard =
        new Card(QStringLiteral("Utilization history"), MetricFamily::gpu, MetricQuality::bestEffort);
    history_ = new LiveChart;
    history_->setObjectName(QStringLiteral("gpu.historyChart"));
    LiveChartOptions options;
    options.domain = ChartRange{0, 100};
    options.format = [this](double v) { return model_.format().percent(v, 0); };
    options.axis = AxisUnit::percent(model_.format().locale);
    options.height = 180;
    history_->setOptions(std::move(options));
    historyCard->addContent(history_);
    first->addWidget(historyCard);
  }
  addWidget(first);

  if (hasDevices) {
    auto* about = new Card(QStringLiteral("About this figure"));
    about->addContent(
        wrapped(kivo::tr("Linux has no common interface for system-wide GPU utilization. The percentage "
                         "above is read from the amdgpu driver's gpu_busy_percent file or from NVIDIA's "
                         "management library; other drivers publish none. It is shown as published, never "
                         "adjusted. Turn it off in Settings › Sampling."),
                Typeface::system(12), Palette::textSecondary, about));
    addWidget(about);
  }

  auto* second = new CardRow;
  auto* memory = new Card(QStringLiteral("Memory"), MetricFamily::gpu, MetricQuality::bestEffort);
  memory->setObjectName(QStringLiteral("gpu.memory"));
  if (hasDevices) {
    inUse_ = new KeyValueRow(kivo::tr("In use by the GPU"), std::nullopt, MetricQuality::bestEffort);
    allocated_ =
        new KeyValueRow(kivo::tr("Allocated by the driver"), std::nullopt, MetricQuality::bestEffort);
    memory->addContent(inUse_);
    memory->addContent(allocated_);
  } else {
    for (const auto& row : GPUPagePresenter::memoryWithoutDevice()) {
      memory->addContent(new UnavailableRow(row.label, row.reason));
    }
  }
  const GPUPageState initial = GPUPagePresenter::state(model);
  if (initial.sharedMemoryNote) {
    memory->addContent(
        wrapped(kivo::tr("This GPU shares the computer's main memory; there is no separate video memory "
                         "to report."),
                Typeface::caption(), Palette::textTertiary, memory));
  }
  memory->body()->addStretch(1);
  second->addWidget(memory);
  auto* missing = new Card(QStringLiteral("Not available"), MetricFamily::gpu);
  for (const auto& row : GPUPagePresenter::notAvailable())
    missing->addContent(new UnavailableRow(row.label, row.reason));
  second->addWidget(missing);
  addWidget(second);

  for (const GPUDevice& device : model.gpuDevices()) {
    auto* card = new Card(QStringLiteral("GPU"), MetricFamily::gpu);
    card->setObjectName(QStringLiteral("gpu.device.%1").arg(device.id));
    // The device's own name, never a translation key.
    if (auto* title = card->findChild<QLabel*>(QStringLiteral("card.title"))) title->setText(device.name);
    card->addContent(new DeviceFacts(GPUPagePresenter::deviceRows(device), card));
    addWidget(card);
  }

  static constexpr std::array kSources = {MetricID::gpuUtilization};
  addWidget(new SourcesCard(kSources));

  connect(&model, &MonitorModel::snapshotChanged, this, &GPUPage::refreshSnapshot);
  connect(&model, &MonitorModel::liveChanged, this, &GPUPage::refreshLive);
  connect(&settings, &AppSettings::telemetryChanged, this, [this] {
    refreshSnapshot();
    refreshLive();
  });
  refreshSnapshot();
  refreshLive();
}

void GPUPage::refreshSnapshot() {
  const GPUPageState state = GPUPagePresenter::state(model_);
  turnedOff_->setVisible(state.utilization == GPUUtilizationState::bestEffortOff);
  noFigure_->setVisible(state.utilization == GPUUtilizationState::noFigure ||
                        state.utilization == GPUUtilizationState::noDevice);
  figure_->setVisible(state.utilization == GPUUtilizationState::figure);
  readout_->setValue(state.readout);
  cores_->setValue(state.cores);
  if (inUse_) inUse_->setValue(state.memoryInUse);
  if (allocated_) allocated_->setValue(state.memoryAllocated);
}

void GPUPage::refreshLive() {
  readout_->setValue(GPUPagePresenter::state(model_).readout);
  if (!history_) return;
  std::vector<LiveSeries> series(1);
  series[0] = {QStringLiteral("gpu"), kivo::tr("GPU utilization"), ChartColor::of(MetricFamily::gpu), {}};
  if (settings_.telemetry().bestEffortMetrics) series[0].assign(model_.live(MetricID::gpuUtilization));
  history_->setSeries(std::move(series));
}

}  // namespace kivo
