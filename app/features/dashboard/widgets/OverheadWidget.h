#pragma once

#include "features/dashboard/WidgetView.h"

#include <array>

namespace kivo {

class KeyValueRow;
class Sparkline;

// What the monitor itself costs: its CPU, memory and collection time.
class OverheadWidget : public WidgetView {
  Q_OBJECT

 public:
  OverheadWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  std::array<KeyValueRow*, 3> rows_{};
  Sparkline* sparkline_ = nullptr;
  std::vector<double> buffer_;
};

}  // namespace kivo
