#include "features/dashboard/widgets/AlertsWidget.h"

#include "design/BareLayout.h"
#include "design/ToneLabel.h"
#include "features/dashboard/WidgetLine.h"
#include "features/dashboard/WidgetPresenter.h"
#include "features/dashboard/widgets/WidgetParts.h"
#include "texts/Localized.h"

#include <QBoxLayout>

namespace kivo {

AlertsWidget::AlertsWidget(MonitorModel& model, WidgetSize size, QWidget* parent)
    : WidgetView(model, WidgetKind::alerts, size, parent) {
  auto* layout = columnLayout();
  for (std::size_t i = 0; i < WidgetFigures::kAlertRows; ++i) {
    lines_.push_back(new WidgetLine(Typeface::system(12, QFont::Medium), Palette::textPrimary,
                                    Typeface::caption(), Palette::textSecondary, Qt::ElideRight, column()));
    lines_.back()->setObjectName(QStringLiteral("widget.alert"));
    layout->addWidget(lines_.back());
  }
  calm_ = new QWidget(column());
  auto* inner = bareColumn(calm_, 4);
  auto* title = new WidgetLine(Typeface::system(13, QFont::Medium), Palette::success, Typeface::caption(),
                               Palette::textSecondary, Qt::ElideRight, calm_);
  title->setSymbol(QStringLiteral("checkmark.circle.fill"), Palette::success);
  title->setTexts(kivo::tr("No active alert"), QString());
  watched_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, calm_);
  findings_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, calm_);
  inner->addWidget(title);
  inner->addWidget(watched_);
  inner->addWidget(findings_);
  layout->addWidget(calm_);
  layout->addStretch(1);
  refresh();
}

void AlertsWidget::refresh() {
  const auto state = WidgetPresenter::alerts(model());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->setVisible(i < state.count);
    if (i >= state.count) continue;
    const WidgetPresenter::AlertLine& line = state.lines[i];
    lines_[i]->setSymbol(line.symbol, line.color);
    lines_[i]->setTexts(line.title, QString());
  }
  calm_->setVisible(state.calm);
  if (!state.calm) return;
  WidgetParts::setCaption(watched_, state.watched);
  findings_->setVisible(state.hasFindings);
  WidgetParts::setCaption(findings_, state.findings);
}

}  // namespace kivo
