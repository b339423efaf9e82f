#include "features/history/HistoryChartCard.h"

#include "design/Icons.h"
#include "design/MetricFamily.h"
#include "design/ToneLabel.h"
#include "design/Tokens.h"
#include "features/history/HistoryChart.h"
#include "features/history/HistoryPresenter.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr const char* kStatNames[] = {"minimum", "average", "maximum", "samples", "resolution", "gaps"};

}  // namespace

HistoryChartCard::HistoryChartCard(MetricID metric, const ValueFormatter& format, QWidget* parent)
    : Card(MetricCatalog::descriptor(metric).name, MetricFamilies::of(metric), MetricCatalog::descriptor(metric).quality,
           parent),
      metric_(metric),
      format_(format) {
  setObjectName(QStringLiteral("history.card.") + Metric::keyString(metric));

  auto* stats = new QWidget(this);
  auto* row = new QHBoxLayout(stats);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(24);
  const auto statistics = HistoryPresenter::statistics(Series{}, format_);
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    auto* stat = new QWidget(stats);
    stat->setObjectName(QStringLiteral("history.stat.") + QLatin1String(kStatNames[i]));
    auto* column = new QVBoxLayout(stat);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    column->addWidget(new ToneLabel(tr(statistics[i].label), Typeface::label(), Palette::textSecondary, stat));
    auto* value = new ToneLabel(QStringLiteral("—"), Typeface::value(), Palette::textPrimary, stat);
    value->setObjectName(QStringLiteral("value"));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(value);
    values_[i] = value;
    row->addWidget(stat, 0, Qt::AlignVCenter);
  }
  row->addStretch(1);

  export_ = new QToolButton(stats);
  export_->setObjectName(QStringLiteral("history.export"));
  export_->setText(tr("Export"));
  export_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  export_->setAutoRaise(true);
  export_->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(export_);
  QAction* png = menu->addAction(tr("Export Chart as PNG…"));
  png->setObjectName(QStringLiteral("history.export.png"));
  QAction* csv = menu->addAction(tr("Export Data as CSV…"));
  csv->setObjectName(QStringLiteral("history.export.csv"));
  export_->setMenu(menu);
  connect(png, &QAction::triggered, this, &HistoryChartCard::exportPNGRequested);
  connect(csv, &QAction::triggered, this, &HistoryChartCard::exportCSVRequested);
  row->addWidget(export_, 0, Qt::AlignVCenter);
  addContent(stats);

  readout_ = new ToneLabel(QString(), Typeface::caption(), Palette::textTertiary, this);
  readout_->setObjectName(QStringLiteral("history.readout"));
  addContent(readout_);

  chart_ = new HistoryChart(this);
  chart_->setObjectName(QStringLiteral("history.chart"));
  chart_->setAccessibleName(HistoryPresenter::metricName(metric));
  chart_->setFamily(MetricFamilies::of(metric));
  chart_->setFormat([metric, &format](double value) { return HistoryPresenter::valueText(value, metric, format); });
  connect(chart_, &HistoryChart::hoverMoved, this, &HistoryChartCard::hoverMoved);
  addContent(chart_);

  empty_ = new ToneLabel(tr("No stored sample in this range yet."), Typeface::system(12), Palette::textSecondary, this);
  empty_->setObjectName(QStringLiteral("history.empty"));
  empty_->hide();
  addContent(empty_);

  refreshReadout();
  applyColors();
}

void HistoryChartCard::setSeries(const Series& series, double from, double to, std::vector<double> bookmarks) {
  const auto statistics = HistoryPresenter::statistics(series, format_);
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    const QString text = statistics[i].value.value_or(QStringLiteral("—"));
    if (values_[i]->text() != text) values_[i]->setText(text);
    values_[i]->parentWidget()->setAccessibleName(tr(statistics[i].label) + QLatin1Char(' ') + text);
  }
  chart_->setSeries(series, from, to);
  chart_->setBookmarks(std::move(bookmarks));
  chart_->setSummary(HistoryPresenter::summary(series, format_));
  empty_->setVisible(series.points.empty());
  refreshReadout();
}

void HistoryChartCard::setHover(std::optional<double> hover) {
  chart_->setHover(hover);
  refreshReadout();
}

void HistoryChartCard::refreshReadout() {
  const HistoryPresenter::Readout readout = HistoryPresenter::readout(chart_->series(), chart_->hover(), format_);
  if (readout_->text() != readout.text) readout_->setText(readout.text);
  readout_->setTone(readout.hint ? Palette::textTertiary : Palette::textSecondary);
}

void HistoryChartCard::applyColors() {
  export_->setIcon(Icons::icon(QStringLiteral("square.and.arrow.up"), Palette::accent.resolve(this)));
}

void HistoryChartCard::changeEvent(QEvent* event) {
  Card::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyColors();
}

}  // namespace kivo
