#pragma once

#include "analysis/AlertRule.h"
#include "design/Page.h"
#include "storage/StoredEvent.h"

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace kivo {

class AppSettings;
class Card;
class MonitorModel;
class PageHeader;
class ToneLabel;
class SymbolLabel;

class AlertFiringRow;
class AlertHistoryRow;
class AlertRuleRow;

// The alerts page: what fires now, how alerts reach the desktop and the snooze, the rule list
// and the stored alert history. Built once; rows are keyed by rule id (history rows by event id)
// and updated in place. Every change of the rule list is one assignment of the rules setting,
// after which the model applies the settings.
class AlertsPage : public Page {
  Q_OBJECT

 public:
  AlertsPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  ~AlertsPage() override;

  // The loaded alert events, newest first (at most 300).
  const std::vector<StoredEvent>& history() const { return history_; }
  // Opens the rule editor on a copy of the rule and waits for it; on Save the rule replaces the
  // one with its id, or is appended.
  void openEditor(const AlertRule& rule);

 signals:
  // A history load was applied (for tests and the screenshot hooks).
  void historyLoaded();

 private:
  void refreshHeader();
  void refreshFiring();
  void refreshNotifications();
  void refreshSnooze();
  void refreshRules();
  void refreshHistory();
  void loadHistory();
  void setRules(const std::vector<AlertRule>& rules);

  MonitorModel& model_;
  AppSettings& settings_;
  std::vector<StoredEvent> history_;
  // Loads are numbered; only the newest one's result is applied.
  std::uint64_t historyRequest_ = 0;

  PageHeader* header_ = nullptr;

  QWidget* noActive_ = nullptr;
  QVBoxLayout* firingRows_ = nullptr;
  std::map<QString, AlertFiringRow*> firing_;

  QCheckBox* notificationToggle_ = nullptr;
  SymbolLabel* notificationIcon_ = nullptr;
  ToneLabel* notificationText_ = nullptr;
  QPushButton* enableNotifications_ = nullptr;
  QPushButton* checkAgain_ = nullptr;
  QPushButton* snooze_ = nullptr;
  ToneLabel* snoozedText_ = nullptr;
  QPushButton* resume_ = nullptr;

  QVBoxLayout* ruleRows_ = nullptr;
  std::map<QString, AlertRuleRow*> rules_;
  int missing_ = 0;  // which metrics the rows last said this computer lacks

  ToneLabel* historyCount_ = nullptr;
  QPushButton* clearHistory_ = nullptr;
  ToneLabel* historyEmpty_ = nullptr;
  QVBoxLayout* historyRows_ = nullptr;
  std::map<std::int64_t, AlertHistoryRow*> historyWidgets_;
};

}  // namespace kivo
