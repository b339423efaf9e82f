#pragma once

#include "design/Page.h"

namespace kivo {

class AppSettings;
class CoreGrid;
class CoreHeatmap;
class KeyValueRow;
class LiveChart;
class MonitorModel;
class PageHeader;
class ProcessContribution;
class Readout;
class ToneLabel;

// The CPU section: total load split into user, system and idle, its chart, one cell per core,
// the per-core heat map, load averages and peaks, the busiest processes and the sources.
// Built once; every figure is updated in place from the model's signals.
class CPUPage : public Page {
  Q_OBJECT

 public:
  CPUPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);

 protected:
  bool event(QEvent* event) override;

 private:
  void refreshSnapshot();
  void refreshLive();
  void refreshCoreHistory();
  void refreshProcesses();

  MonitorModel& model_;
  bool safe_ = false;
  Readout* total_ = nullptr;
  KeyValueRow* user_ = nullptr;
  KeyValueRow* system_ = nullptr;
  KeyValueRow* idle_ = nullptr;
  LiveChart* usage_ = nullptr;
  CoreGrid* grid_ = nullptr;
  ToneLabel* gridEmpty_ = nullptr;
  CoreHeatmap* heatmap_ = nullptr;
  KeyValueRow* loadAverage_ = nullptr;
  KeyValueRow* peak_ = nullptr;
  KeyValueRow* average_ = nullptr;
  KeyValueRow* sampling_ = nullptr;
  KeyValueRow* measured_ = nullptr;
  ProcessContribution* processes_ = nullptr;
};

}  // namespace kivo
