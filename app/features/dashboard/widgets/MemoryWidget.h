#pragma once

#include "features/dashboard/WidgetView.h"

namespace kivo {

class KeyValueRow;
class MemoryBar;
class PressureBadge;
class Readout;
class ToneLabel;

// Used memory, its pressure, the memory bar and, on wider cards, the swap in use.
class MemoryWidget : public WidgetView {
  Q_OBJECT

 public:
  MemoryWidget(MonitorModel& model, WidgetSize size, QWidget* parent = nullptr);
  void refresh() override;

 private:
  QWidget* figures_ = nullptr;
  ToneLabel* waiting_ = nullptr;
  Readout* readout_ = nullptr;
  ToneLabel* caption_ = nullptr;
  PressureBadge* pressure_ = nullptr;
  MemoryBar* memoryBar_ = nullptr;
  KeyValueRow* swap_ = nullptr;
};

}  // namespace kivo
