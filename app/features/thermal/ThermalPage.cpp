#include "features/thermal/ThermalPage.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/KeyValueRow.h"
#include "design/KeyedGrid.h"
#include "design/LiveChart.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/SymbolView.h"
#include "design/ThermalScale.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/thermal/CapabilityText.h"
#include "features/thermal/ThermalPresenter.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"
#include "texts/ThermalText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace kivo {

namespace {}  // namespace

ThermalPage::ThermalPage(MonitorModel& model, QWidget* parent) : Page(parent), model_(model) {
  build();
  refreshSnapshot();
  refreshLive();
  refreshCapabilities();
  connect(&model_, &MonitorModel::snapshotChanged, this, &ThermalPage::refreshSnapshot);
  connect(&model_, &MonitorModel::liveChanged, this, &ThermalPage::refreshLive);
}

void ThermalPage::build() {
  addWidget(new PageHeader(QStringLiteral("Thermal & Sensors"),
                           tr("What Linux exposes, and what it does not"), MetricFamily::thermal));

  auto* row = new CardRow;
  auto* state = new Card(QStringLiteral("Thermal state"), MetricFamily::thermal);
  state->setObjectName(QStringLiteral("thermal.state"));
  state->setMinimumWidth(260);
  state->setMaximumWidth(360);
  level_ = new Readout(std::nullopt, std::nullopt, 32, Palette::textSecondary, state);
  level_->setObjectName(QStringLiteral("thermal.level"));
  state->addContent(level_);
  scale_ = new ThermalScale(state);
  state->addContent(scale_);
  explanation_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, state);
  explanation_->setWordWrap(true);
  state->addContent(explanation_);
  noLevel_ =
      new UnavailableRow(tr("Thermal state"),
                         tr("This computer has no thermal zones with trip points, so the kernel gives no "
                            "thermal state."),
                         state);
  state->addContent(noLevel_);
  state->body()->addStretch();
  row->addWidget(state);

  auto* history = new Card(QStringLiteral("Thermal state over time"), MetricFamily::thermal);
  chart_ = new LiveChart(history);
  LiveChartOptions options;
  options.domain = ChartRange{0, 3};
  options.ticks = std::vector<double>{0, 1, 2, 3};
  options.format = &ThermalPresenter::chartValueText;
  options.height = 150;
  chart_->setOptions(std::move(options));
  history->addContent(chart_);
  noChart_ =
      new ToneLabel(tr("No thermal state to chart: this computer has no thermal zones with trip points."),
                    Typeface::system(12), Palette::textSecondary, history);
  noChart_->setObjectName(QStringLiteral("thermal.noChart"));
  noChart_->setWordWrap(true);
  history->addContent(noChart_);
  history->body()->addStretch();
  series_ = {
      LiveSeries{QStringLiteral("thermal"), tr("Thermal state"), ChartColor::of(MetricFamily::thermal), {}}};
  row->addWidget(history);
  addWidget(row);

  auto* temperatures = new Card(QStringLiteral("Temperatures and fans"), MetricFamily::thermal);
  temperatures->setObjectName(QStringLiteral("thermal.temperatures"));
  batteryTemperature_ = new KeyValueRow(tr("Battery temperature"), std::nullopt, MetricQuality::bestEffort,
                                        std::nullopt, temperatures);
  temperatures->addContent(batteryTemperature_);
  noBatteryTemperature_ =
      new UnavailableRow(tr("Battery temperature"),
                         tr("The battery driver on this computer publishes no temperature."), temperatures);
  temperatures->addContent(noBatteryTemperature_);
  for (const char* label : {"CPU temperature", "GPU temperature", "Fan speed"}) {
    temperatures->addContent(new UnavailableRow(tr(label), std::nullopt, temperatures));
  }
  temperatures->addContent(
      ToneLabel::note(tr("CPU and GPU temperatures and fan speeds come only from hardware-monitoring "
                         "drivers (hwmon), under names that differ from board to board. KIVO Monitor does "
                         "not read them: a wrong sensor would mislead more than none. The thermal state "
                         "above is the supported signal."),
                      temperatures));
  addWidget(temperatures);

  auto* table = new Card(QStringLiteral("Sensor and metric availability on this computer"));
  table->setObjectName(QStringLiteral("thermal.capabilities"));
  filter_ = new QLineEdit(table);
  filter_->setObjectName(QStringLiteral("thermal.filter"));
  filter_->setPlaceholderText(tr("Filter"));
  Accessibility::nameAfterPlaceholder(filter_);
  filter_->setMaximumWidth(240);
  filter_->setClearButtonEnabled(true);
  connect(filter_, &QLineEdit::textChanged, this, &ThermalPage::refreshCapabilities);
  table->addContent(filter_);
  capabilities_ = new KeyedGrid({QStringLiteral("Metric"), QStringLiteral("Area"), QStringLiteral("Access"),
                                 QStringLiteral("On this computer"), QStringLiteral("Source")},
                                7, table);
  capabilities_->setObjectName(QStringLiteral("thermal.grid"));
  // The metric with its note and the source wrap; the area, the access and then the source go
  // when even that is too wide.
  capabilities_->setWrapColumns({0, 4}, 140, 340);
  capabilities_->setDropOrder({1, 2, 4});
  table->addContent(capabilities_);
  addWidget(table);

  static constexpr std::array kSources{MetricID::thermalState, MetricID::batteryTemperature};
  addWidget(new SourcesCard(kSources));
}

void ThermalPage::refreshSnapshot() {
  const TelemetrySnapshot* snapshot = model_.snapshot().get();
  const std::optional<ThermalLevel> level = snapshot ? snapshot->thermal : std::nullopt;
  // Known to be missing only once a snapshot said so; before that the page waits.
  const bool missing = snapshot && !snapshot->thermal;
  level_->setValue(ThermalPresenter::levelText(level));
  level_->setColor(ThermalPresenter::levelColor(level));
  level_->setCaption(ThermalText::caption(level));
  scale_->setLevel(level);
  explanation_->setText(level ? ThermalText::explanation(*level) : QString());
  explanation_->setVisible(level.has_value());
  noLevel_->setVisible(missing);
  chart_->setVisible(!missing);
  noChart_->setVisible(missing);

  const auto item = ThermalPresenter::batteryItem(snapshot ? &snapshot->power : nullptr, model_.format());
  batteryTemperature_->setVisible(item.kind == ThermalPresenter::BatteryTemperature::row);
  batteryTemperature_->setValue(item.value);
  noBatteryTemperature_->setVisible(item.kind == ThermalPresenter::BatteryTemperature::unavailable);
}

void ThermalPage::refreshLive() {
  series_[0].assign(model_.live(MetricID::thermalState));
  chart_->setSeries(series_);
}

void ThermalPage::refreshCapabilities() {
  const auto passing = ThermalPresenter::filtered(model_.capabilities(), filter_->text());
  QStringList ids;
  for (const SensorCapability* capability : passing) ids.append(capability->id);
  if (ids == capabilities_->ids()) return;
  capabilities_->setRows(ids, [](QWidget* parent) {
    std::vector<QWidget*> cells;
    auto* metric = new QWidget(parent);
    metric->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* stack = bareColumn(metric, 1);
    auto* name = new ToneLabel(QString(), Typeface::system(12, QFont::Medium), Palette::textPrimary, metric);
    name->setWordWrap(true);
    name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stack->addWidget(name);
    auto* noteLabel = new ToneLabel(QString(), Typeface::caption(), Palette::textTertiary, metric);
    noteLabel->setWordWrap(true);
    noteLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stack->addWidget(noteLabel);
    cells.push_back(metric);
    cells.push_back(new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, parent));
    cells.push_back(new ToneLabel(QString(), Typeface::system(12), Palette::textPrimary, parent));
    auto* presence = new QWidget(parent);
    auto* line = bareRow(presence, 4);
    line->addWidget(
        new SymbolView(QStringLiteral("minus.circle"), ChartColor::of(Palette::textTertiary), 12, presence));
    line->addWidget(new ToneLabel(QString(), Typeface::system(12), Palette::textPrimary, presence));
    cells.push_back(presence);
    auto* source = new ToneLabel(QString(), Typeface::mono(), Palette::textSecondary, parent);
    source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    source->setWordWrap(true);
    source->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cells.push_back(source);
    return cells;
  });
  for (const SensorCapability* capability : passing) {
    const auto& cells = capabilities_->cells(capability->id);
    const auto texts = cells[0]->findChildren<ToneLabel*>();
    texts[0]->setText(translated(capability->name));
    texts[1]->setText(capability->note.isEmpty() ? QString() : translated(capability->note));
    texts[1]->setVisible(!capability->note.isEmpty());
    static_cast<ToneLabel*>(cells[1])->setText(translated(capability->category));
    static_cast<ToneLabel*>(cells[2])->setText(CapabilityText::name(capability->classification));
    cells[3]->findChild<SymbolView*>()->setSymbol(
        capability->present ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("minus.circle"),
        ChartColor::of(capability->present ? Palette::success : Palette::textTertiary));
    auto* presence = cells[3]->findChild<ToneLabel*>();
    presence->setText(capability->present ? tr("Available") : tr("Not available"));
    presence->setTone(capability->present ? Palette::success : Palette::textTertiary);
    static_cast<ToneLabel*>(cells[4])->setText(capability->source);
    for (QWidget* cell : cells) cell->setAccessibleName(QString());
    cells[0]->setAccessibleName(translated(capability->name) + QStringLiteral(", ") + presence->text());
  }
  capabilities_->refit();
}

}  // namespace kivo
