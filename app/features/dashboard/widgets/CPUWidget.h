#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class Readout;
class Sparkline;
class ToneLabel;

// Total CPU use, its user and system parts and a sparkline of the last minute or two.
class CPUWidget : public WidgetView {
  Q_OBJECT

 public:
  CPUWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  Readout* readout_ = nullptr;
  ToneLabel* caption_ = nullptr;
  Sparkline* sparkline_ = nullptr;
  std::vector<double> buffer_;
};

}  // namespace kivo
