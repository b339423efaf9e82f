#pragma once

#include "design/Page.h"

namespace kivo {

class AppSettings;
class Card;
class KeyValueRow;
class LiveChart;
class MemoryBar;
class Meter;
class MonitorModel;
class PressureBadge;
class ProcessContribution;
class Readout;
class UnavailableRow;

// The memory section: how the installed memory is used, with the pressure level, the charts of
// memory in use and of pressure, swap and paging, what the terms mean, the largest processes
// and the sources. Built once, updated in place.
class MemoryPage : public Page {
  Q_OBJECT

 public:
  MemoryPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);

 protected:
  bool event(QEvent* event) override;

 private:
  void refreshSnapshot();
  void refreshLive();
  void refreshProcesses();

  MonitorModel& model_;
  bool safe_ = false;
  Readout* used_ = nullptr;
  PressureBadge* badge_ = nullptr;
  MemoryBar* bar_ = nullptr;
  KeyValueRow* app_ = nullptr;
  KeyValueRow* wired_ = nullptr;
  KeyValueRow* compressed_ = nullptr;
  KeyValueRow* cached_ = nullptr;
  KeyValueRow* free_ = nullptr;
  LiveChart* inUse_ = nullptr;
  Card* pressureCard_ = nullptr;
  LiveChart* pressure_ = nullptr;
  UnavailableRow* pressureUnavailable_ = nullptr;
  KeyValueRow* swapUsed_ = nullptr;
  KeyValueRow* swapTotal_ = nullptr;
  Meter* swapMeter_ = nullptr;
  KeyValueRow* pageIns_ = nullptr;
  KeyValueRow* pageOuts_ = nullptr;
  KeyValueRow* swapIns_ = nullptr;
  KeyValueRow* swapOuts_ = nullptr;
  KeyValueRow* pageSize_ = nullptr;
  ProcessContribution* processes_ = nullptr;
};

}  // namespace kivo
