#pragma once

#include "design/Page.h"

namespace kivo {

class AppSettings;
class KeyValueRow;
class LiveChart;
class MonitorModel;
class Readout;
class ToneLabel;
class UnavailableRow;

// The GPU section: the driver's utilisation figure (while best-effort readings are on) and its
// history, the driver's memory figures, what Linux does not publish, and one card per device.
class GPUPage : public Page {
  Q_OBJECT

 public:
  GPUPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);

 private:
  void refreshSnapshot();
  void refreshLive();

  MonitorModel& model_;
  AppSettings& settings_;
  UnavailableRow* turnedOff_ = nullptr;
  UnavailableRow* noFigure_ = nullptr;
  QWidget* figure_ = nullptr;
  Readout* readout_ = nullptr;
  KeyValueRow* cores_ = nullptr;
  LiveChart* history_ = nullptr;
  KeyValueRow* inUse_ = nullptr;
  KeyValueRow* allocated_ = nullptr;
};

}  // namespace kivo
