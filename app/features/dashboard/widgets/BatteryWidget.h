#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class KeyValueRow;
class Meter;
class Readout;
class ToneLabel;

// Charge, charging state, a meter and the time left; on AC power only, a note saying so.
class BatteryWidget : public WidgetView {
  Q_OBJECT

 public:
  BatteryWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void applyColors() override { refresh(); }

  QWidget* batteryPart_ = nullptr;
  QWidget* acPart_ = nullptr;
  Readout* source_ = nullptr;
  ToneLabel* waiting_ = nullptr;
  Readout* readout_ = nullptr;
  ToneLabel* caption_ = nullptr;
  Meter* meter_ = nullptr;
  KeyValueRow* time_ = nullptr;
};

}  // namespace kivo
