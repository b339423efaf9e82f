#pragma once

#include "design/Page.h"
#include "features/reports/ReportBuilding.h"
#include "features/reports/ReportFormat.h"
#include "features/reports/ReportsPresenter.h"

#include <QList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLabel;
class QPushButton;

namespace kivo {

class AppSettings;
class Card;
class MonitorModel;
class ReportFileDialogs;
class ReportPreviewCard;
class ReportTableView;
class ToneLabel;

// The Reports section: choose a kind and a period, see the report built from stored history,
// export it in four formats and compare two saved JSON reports.
//
// Builds run on the model's worker: the page copies what it needs from the model on the GUI
// thread, the worker queries the history and builds the report and its preview texts, and only
// the newest build is applied. The previous preview stays until a newer one replaces it.
class ReportsPage : public Page {
  Q_OBJECT

 public:
  ReportsPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  ~ReportsPage() override;

  // Replaces the desktop's file dialogs (tests script the chosen paths).
  void setFileDialogs(std::shared_ptr<ReportFileDialogs> dialogs);

  const ReportChoices& choices() const { return choices_; }
  const std::optional<Report>& report() const { return report_; }
  bool isBuilding() const { return building_; }
  const std::optional<QString>& message() const { return message_; }
  const std::optional<ReportComparison>& comparison() const { return comparison_; }

  // The export buttons and "Compare Two Saved Reports…".
  void exportReport(ReportFormat format);
  void compareReports();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* buildReportCard();
  QWidget* buildExportCard();
  QWidget* buildComparisonCard();

  void chooseKind(int index);
  void chooseRange(int index);
  void chooseIncident(const QDateTime& local);
  void hostSettingChanged();
  void rebuildIfChanged();
  void build();
  void apply(ReportBuild build);

  void showChoices();
  void showState();
  void showComparison();
  void setMessage(std::optional<QString> message);
  void limitIncidentDate();
  void refreshIcons();

  MonitorModel& model_;
  AppSettings& settings_;
  std::shared_ptr<ReportFileDialogs> dialogs_;
  QString savedFolder_;  // of the last export written; empty before one

  ReportChoices choices_;
  std::optional<QString> builtIdentity_;
  // The last build had no snapshot or no process sample to take volumes, interfaces, power
  // and processes from; the first one that arrives builds it again.
  bool builtWithoutSnapshot_ = false;
  bool builtWithoutProcesses_ = false;
  std::uint64_t requested_ = 0;
  bool building_ = false;
  std::optional<Report> report_;
  std::optional<ReportComparison> comparison_;
  std::optional<QString> message_;

  // Report card.
  QFormLayout* form_ = nullptr;
  QComboBox* kind_ = nullptr;
  ToneLabel* summary_ = nullptr;
  QComboBox* range_ = nullptr;
  QDateTimeEdit* incident_ = nullptr;
  ToneLabel* incidentNote_ = nullptr;
  QCheckBox* host_ = nullptr;
  // Export card.
  QPushButton* refresh_ = nullptr;
  std::vector<QPushButton*> exportButtons_;
  QWidget* messageRow_ = nullptr;
  QLabel* messageIcon_ = nullptr;
  ToneLabel* messageText_ = nullptr;
  // Comparison card.
  Card* comparisonCard_ = nullptr;
  ToneLabel* comparisonNames_ = nullptr;
  ReportTableView* comparisonTable_ = nullptr;
  // Progress and preview.
  QWidget* progress_ = nullptr;
  ReportPreviewCard* previewCard_ = nullptr;
};

}  // namespace kivo
