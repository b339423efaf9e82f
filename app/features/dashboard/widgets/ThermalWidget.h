#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class Readout;
class ThermalScale;
class ToneLabel;
class UnavailableRow;

// The thermal state the kernel reports, on its scale, or that there is none.
class ThermalWidget : public WidgetView {
  Q_OBJECT

 public:
  ThermalWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QWidget* figures_ = nullptr;
  ToneLabel* waiting_ = nullptr;
  Readout* readout_ = nullptr;
  ThermalScale* scale_ = nullptr;
  UnavailableRow* noFigure_ = nullptr;
};

}  // namespace kivo
