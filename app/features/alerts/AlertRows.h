#pragma once

#include "features/alerts/AlertsPresenter.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QGraphicsOpacityEffect;
class QPushButton;
class QToolButton;
class QUuid;

namespace kivo {

class Hairline;
class SymbolLabel;
class ToneLabel;

// The rows of the alerts page. Each is built once and given its state by update(), which does
// nothing when the state is the one shown.

// One firing rule: severity symbol, title, condition, then its current value.
class AlertFiringRow : public QWidget {
 public:
  explicit AlertFiringRow(QWidget* parent);
  void update(const FiringRowState& state);

 private:
  FiringRowState state_;
  SymbolLabel* icon_;
  ToneLabel* title_;
  ToneLabel* condition_;
  ToneLabel* value_;
};

// One rule: switch, metric symbol, name over condition and cooldown, severity, Edit, delete.
// The callbacks get the id of the rule the row shows at the click.
class AlertRuleRow : public QWidget {
 public:
  AlertRuleRow(QWidget* parent, const std::function<void(const QUuid&, bool)>& toggled,
               const std::function<void(const QUuid&)>& edit,
               const std::function<void(const QUuid&)>& remove);
  void update(const RuleRowState& state);
  const RuleRowState& state() const { return state_; }

 private:
  RuleRowState state_;
  QWidget* line_;
  QCheckBox* switch_;
  SymbolLabel* icon_;
  ToneLabel* name_;
  ToneLabel* detail_;
  ToneLabel* severity_;
  QPushButton* edit_;
  QToolButton* remove_;
  Hairline* divider_;
  QGraphicsOpacityEffect* opacity_;
};

// One stored alert event: symbol, metric, Fired or Resolved, the value, then the date.
class AlertHistoryRow : public QWidget {
 public:
  explicit AlertHistoryRow(QWidget* parent);
  void update(const HistoryRowState& state);

 private:
  HistoryRowState shown_;
  SymbolLabel* icon_;
  ToneLabel* name_;
  ToneLabel* state_;
  ToneLabel* value_;
  ToneLabel* date_;
};

}  // namespace kivo
