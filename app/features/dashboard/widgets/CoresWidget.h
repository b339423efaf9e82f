#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class CoreBars;
class ToneLabel;

// One bar per logical core.
class CoresWidget : public WidgetView {
  Q_OBJECT

 public:
  CoresWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  CoreBars* cores_ = nullptr;
  ToneLabel* waiting_ = nullptr;
};

}  // namespace kivo
