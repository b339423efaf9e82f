#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class ToneLabel;
class WidgetLine;

// The first firing rules, or that none fires with how many are watched.
class AlertsWidget : public WidgetView {
  Q_OBJECT

 public:
  AlertsWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  std::vector<WidgetLine*> lines_;
  QWidget* calm_ = nullptr;
  ToneLabel* watched_ = nullptr;
  ToneLabel* findings_ = nullptr;
};

}  // namespace kivo
