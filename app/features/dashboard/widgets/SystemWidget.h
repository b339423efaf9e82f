#pragma once

#include "features/dashboard/WidgetView.h"

#include <array>

namespace kivo {

class KeyValueRow;

// Uptime, process count, load average and the computer's model.
class SystemWidget : public WidgetView {
  Q_OBJECT

 public:
  SystemWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  std::array<KeyValueRow*, 4> rows_{};
};

}  // namespace kivo
