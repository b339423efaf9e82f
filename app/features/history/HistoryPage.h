#pragma once

#include "design/Page.h"
#include "features/history/HistoryLoad.h"
#include "metrics/Metric.h"
#include "model/HistoryRange.h"

#include <QPointer>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace kivo {

class AppSettings;
class Card;
class HistoryChartCard;
class HistoryFileDialogs;
class MonitorModel;
class PageHeader;
class SegmentedControl;
class ToneLabel;

// The history section: one stored metric, and optionally a second for comparison, over a chosen
// range, each in a card with its statistics, readout, chart and exports; then the bookmarks of
// the range and how history is kept. Every load is a store query on the model's worker; loads
// are numbered and only the newest one's result is applied.
class HistoryPage : public Page {
  Q_OBJECT

 public:
  HistoryPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  ~HistoryPage() override;

  // Asks the store again for the current choices (also what Reload does).
  void reload();
  // The choices, as the pickers set them.
  void choosePrimary(MetricID metric);
  void chooseSecondary(std::optional<MetricID> metric);
  void chooseRange(HistoryRange range);

  HistoryRange range() const { return range_; }
  MetricID primary() const { return primary_; }
  std::optional<MetricID> secondary() const { return secondary_; }
  QString loadIdentity() const;
  // The result on show; absent before the first load has come back.
  const std::optional<HistoryLoad>& loaded() const { return loaded_; }
  std::optional<double> hover() const { return hover_; }
  void setHover(std::optional<double> hover);

  // The exports of the card of this metric (the Export menu's two items).
  void exportCSV(MetricID metric);
  void exportPNG(MetricID metric);
  // Replaces the save dialog and the failure message (tests script them).
  void setFileDialogs(std::unique_ptr<HistoryFileDialogs> dialogs);

 signals:
  // A load's result has been put on the page.
  void loadApplied();

 private:
  void buildControls();
  void apply(HistoryLoad load);
  void syncCards();
  void syncBookmarks();
  void refreshStatus();
  void refreshSubtitle();
  void refreshRetention();
  const Series* loadedSeries(MetricID metric) const;

  MonitorModel& model_;
  AppSettings& settings_;
  HistoryRange range_ = HistoryRange::hour;
  MetricID primary_ = MetricID::cpuTotal;
  std::optional<MetricID> secondary_;
  std::optional<HistoryLoad> loaded_;
  std::optional<double> hover_;
  std::uint64_t requests_ = 0;
  std::unique_ptr<HistoryFileDialogs> dialogs_;

  PageHeader* header_ = nullptr;
  QComboBox* metric_ = nullptr;
  QComboBox* compare_ = nullptr;
  SegmentedControl* ranges_ = nullptr;
  QPushButton* reload_ = nullptr;
  QWidget* cardsHost_ = nullptr;
  QVBoxLayout* cardsLayout_ = nullptr;
  std::vector<HistoryChartCard*> cards_;
  QWidget* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  ToneLabel* unavailable_ = nullptr;
  ToneLabel* writeFailure_ = nullptr;
  Card* bookmarksCard_ = nullptr;
  ToneLabel* noBookmark_ = nullptr;
  QVBoxLayout* bookmarkRows_ = nullptr;
  std::map<std::int64_t, QWidget*> bookmarkWidgets_;
  ToneLabel* retention_ = nullptr;
};

}  // namespace kivo
