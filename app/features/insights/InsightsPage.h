#pragma once

#include "design/Page.h"

#include <QString>

#include <map>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace kivo {

class AppSettings;
class Card;
class MonitorModel;
class ToneLabel;

namespace insights_detail {
class FindingCard;
}

// The insights page: the findings the model holds (one card each, keyed by finding id and
// updated in place), a button that runs the analysis again through the model, and the rules the
// analysis checks with the thresholds now in force. It keeps no state of its own.
class InsightsPage : public Page {
  Q_OBJECT

 public:
  InsightsPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  ~InsightsPage() override;

 private:
  void refreshAnalysed();
  void refreshFindings();
  void refreshLines();

  MonitorModel& model_;
  AppSettings& settings_;
  ToneLabel* analysed_ = nullptr;
  Card* empty_ = nullptr;
  QWidget* findingsHolder_ = nullptr;
  QVBoxLayout* findingsLayout_ = nullptr;
  std::map<QString, insights_detail::FindingCard*> cards_;
  std::vector<ToneLabel*> lines_;
};

}  // namespace kivo
