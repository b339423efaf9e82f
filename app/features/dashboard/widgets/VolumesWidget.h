#pragma once

#include "features/dashboard/WidgetView.h"

#include <array>

namespace kivo {

class Meter;
class ToneLabel;
class WidgetLine;

// The first three volumes: name, space available and a meter of the used share.
class VolumesWidget : public WidgetView {
  Q_OBJECT

 public:
  VolumesWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  void applyColors() override { refresh(); }

  struct Block {
    QWidget* block = nullptr;
    WidgetLine* line = nullptr;
    Meter* meter = nullptr;
  };
  std::array<Block, 3> blocks_{};
  ToneLabel* waiting_ = nullptr;
};

}  // namespace kivo
