#include "features/alerts/AlertRows.h"

#include "design/BareLayout.h"
#include "design/Hairline.h"
#include "design/Icons.h"
#include "design/SymbolLabel.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"

#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivo {

AlertFiringRow::AlertFiringRow(QWidget* parent) : QWidget(parent) {
  auto* line = bareRow(this);
  icon_ = new SymbolLabel(QString(), 16, Palette::warning, this);
  title_ = new ToneLabel(QString(), Typeface::system(13, QFont::DemiBold), Palette::textPrimary, this);
  condition_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
  value_ = new ToneLabel(QString(), Typeface::value(), Palette::textPrimary, this);
  line->addWidget(icon_);
  line->addWidget(title_);
  line->addWidget(condition_, 1);
  line->addWidget(value_);
}

void AlertFiringRow::update(const FiringRowState& state) {
  if (state == state_) return;
  state_ = state;
  icon_->setSymbol(state.symbol, state.color);
  title_->setText(state.title);
  condition_->setText(state.condition);
  value_->setText(state.value);
  setAccessibleName(state.title + QStringLiteral(", ") + state.condition + QStringLiteral(", ") +
                    state.value);
}

AlertRuleRow::AlertRuleRow(QWidget* parent, const std::function<void(const QUuid&, bool)>& toggled,
                           const std::function<void(const QUuid&)>& edit,
                           const std::function<void(const QUuid&)>& remove)
    : QWidget(parent) {
  auto* column = bareColumn(this, 8);
  line_ = new QWidget(this);
  auto* line = bareRow(line_, 12);
  switch_ = new QCheckBox(line_);
  switch_->setObjectName(QStringLiteral("alerts.rule.enabled"));
  // What a switched-off rule dims: its symbol, texts and severity. The switch and the buttons
  // keep their look, as they keep working.
  auto* summary = new QWidget(line_);
  auto* summaryLine = bareRow(summary, 12);
  icon_ = new SymbolLabel(QString(), 16, Palette::textSecondary, summary);
  auto* texts = new QWidget(summary);
  auto* stack = bareColumn(texts, 1);
  name_ = new ToneLabel(QString(), Typeface::system(13, QFont::Medium), Palette::textPrimary, texts);
  name_->setObjectName(QStringLiteral("alerts.rule.name"));
  detail_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, texts);
  detail_->setWordWrap(true);
  stack->addWidget(name_);
  stack->addWidget(detail_);
  severity_ = new ToneLabel(QString(), Typeface::caption(), Palette::warning, summary);
  summaryLine->addWidget(icon_);
  summaryLine->addWidget(texts, 1);
  summaryLine->addWidget(severity_);
  edit_ = new QPushButton(tr("Edit"), line_);
  edit_->setObjectName(QStringLiteral("alerts.rule.edit"));
  edit_->setFont(Typeface::system(11));
  remove_ = new QToolButton(line_);
  remove_->setObjectName(QStringLiteral("alerts.rule.delete"));
  remove_->setAutoRaise(true);
  remove_->setToolTip(tr("Delete rule"));
  line->addWidget(switch_);
  line->addWidget(summary, 1);
  line->addWidget(edit_);
  line->addWidget(remove_);
  column->addWidget(line_);
  divider_ = new Hairline(Qt::Horizontal, this);
  column->addWidget(divider_);
  opacity_ = new QGraphicsOpacityEffect(summary);
  summary->setGraphicsEffect(opacity_);

  // The id is read at the click: the row may show another state by then.
  connect(switch_, &QCheckBox::clicked, this, [this, toggled](bool on) { toggled(state_.id, on); });
  connect(edit_, &QPushButton::clicked, this, [this, edit] { edit(state_.id); });
  connect(remove_, &QToolButton::clicked, this, [this, remove] { remove(state_.id); });
  remove_->setIcon(Icons::icon(QStringLiteral("trash"), ChartColor::of(Palette::textSecondary), this));
}

void AlertRuleRow::update(const RuleRowState& state) {
  if (state == state_) return;
  state_ = state;
  {
    const QSignalBlocker block(switch_);
    switch_->setChecked(state.enabled);
  }
  switch_->setEnabled(state.available);
  switch_->setAccessibleName(state.enableName);
  edit_->setAccessibleName(state.editName);
  remove_->setAccessibleName(state.deleteName);
  icon_->setSymbol(state.symbol, Palette::textSecondary);
  name_->setText(state.name);
  detail_->setText(state.detail);
  severity_->setText(state.severity);
  severity_->setTone(state.severityColor);
  divider_->setVisible(state.divider);
  opacity_->setOpacity(state.enabled && state.available ? 1.0 : 0.55);
}

AlertHistoryRow::AlertHistoryRow(QWidget* parent) : QWidget(parent) {
  auto* line = bareRow(this);
  icon_ = new SymbolLabel(QString(), 14, Palette::success, this);
  name_ = new ToneLabel(QString(), Typeface::system(12, QFont::Medium), Palette::textPrimary, this);
  state_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
  value_ = new ToneLabel(QString(), Typeface::value(), Palette::textPrimary, this);
  date_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
  line->addWidget(icon_);
  line->addWidget(name_);
  line->addWidget(state_);
  line->addWidget(value_);
  line->addStretch(1);
  line->addWidget(date_);
}

void AlertHistoryRow::update(const HistoryRowState& state) {
  if (state == shown_) return;
  shown_ = state;
  icon_->setSymbol(state.symbol, state.color);
  name_->setText(state.name);
  state_->setText(state.state);
  value_->setText(state.value.value_or(QString()));
  value_->setVisible(state.value.has_value());
  date_->setText(state.date);
  setAccessibleName(QStringList{state.name, state.state, state.value.value_or(QString()), state.date}.join(
      QStringLiteral(", ")));
}

}  // namespace kivo
