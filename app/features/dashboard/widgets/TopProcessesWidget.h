#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class ToneLabel;
class WidgetLine;

// The five processes using the most CPU or memory.
class TopProcessesWidget : public WidgetView {
  Q_OBJECT

 public:
  TopProcessesWidget(MonitorModel& model, WidgetKind kind, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  bool byMemory_;
  std::vector<WidgetLine*> lines_;
  ToneLabel* waiting_ = nullptr;
};

}  // namespace kivo
