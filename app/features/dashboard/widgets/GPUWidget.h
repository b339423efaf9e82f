#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class Readout;
class Sparkline;
class ToneLabel;
class UnavailableRow;

// GPU utilisation and the device's name, or why there is no figure.
class GPUWidget : public WidgetView {
  Q_OBJECT

 public:
  GPUWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QWidget* figures_ = nullptr;  // hidden without a device and while best-effort readings are off
  Readout* readout_ = nullptr;
  ToneLabel* caption_ = nullptr;
  Sparkline* sparkline_ = nullptr;
  UnavailableRow* noFigure_ = nullptr;
  UnavailableRow* turnedOff_ = nullptr;
  UnavailableRow* noDevice_ = nullptr;
  std::vector<double> buffer_;
};

}  // namespace kivo
