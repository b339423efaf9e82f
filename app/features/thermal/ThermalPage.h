#pragma once

#include "design/LiveSeries.h"
#include "design/Page.h"

#include <vector>

class QLineEdit;

namespace kivo {

class KeyValueRow;
class KeyedGrid;
class LiveChart;
class MonitorModel;
class Readout;
class ThermalScale;
class ToneLabel;
class UnavailableRow;

// The thermal section: the kernel's thermal state estimated from its zones, the state over the
// live window, the battery temperature, and the table of what this computer lets KIVO Monitor
// read. The filter text is the page's only state.
class ThermalPage : public Page {
  Q_OBJECT

 public:
  explicit ThermalPage(MonitorModel& model, QWidget* parent = nullptr);

 private:
  void build();
  void refreshSnapshot();
  void refreshLive();
  void refreshCapabilities();

 private:
  MonitorModel& model_;
  Readout* level_ = nullptr;
  ThermalScale* scale_ = nullptr;
  ToneLabel* explanation_ = nullptr;
  UnavailableRow* noLevel_ = nullptr;
  LiveChart* chart_ = nullptr;
  ToneLabel* noChart_ = nullptr;
  std::vector<LiveSeries> series_;
  KeyValueRow* batteryTemperature_ = nullptr;
  UnavailableRow* noBatteryTemperature_ = nullptr;
  QLineEdit* filter_ = nullptr;
  KeyedGrid* capabilities_ = nullptr;
};

}  // namespace kivo
