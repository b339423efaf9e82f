#pragma once

#include "design/LiveSeries.h"
#include "design/Page.h"

#include <vector>

class QVBoxLayout;

namespace kivo {

class Card;
class CardRow;
class KeyValueRow;
class LiveChart;
class Meter;
class MonitorModel;
class PageHeader;
class Readout;
class ToneLabel;
class UnavailableRow;

// The power section: with a battery its charge, state, health and flow; without one the power
// source and why no power figure exists. Built once; the battery and no-battery cards are
// switched as the snapshot says.
class PowerPage : public Page {
  Q_OBJECT

 public:
  explicit PowerPage(MonitorModel& model, QWidget* parent = nullptr);

 protected:
  // A change of the colour-blind-safe choice recolours the meters.
  bool event(QEvent* event) override;

 private:
  void build();
  void refreshSnapshot();
  void refreshLive();
  void refreshProcesses();

  MonitorModel& model_;
  PageHeader* header_ = nullptr;
  CardRow* batteryRow_ = nullptr;
  CardRow* healthRow_ = nullptr;
  Card* sourceCard_ = nullptr;
  Readout* charge_ = nullptr;
  ToneLabel* state_ = nullptr;
  Meter* meter_ = nullptr;
  QVBoxLayout* batteryRows_ = nullptr;
  std::vector<KeyValueRow*> batteryRowViews_;
  QVBoxLayout* healthRows_ = nullptr;
  std::vector<KeyValueRow*> healthRowViews_;
  std::vector<KeyValueRow*> flowRowViews_;
  Readout* source_ = nullptr;
  KeyValueRow* sourceLowPower_ = nullptr;
  UnavailableRow* sourceLowPowerUnavailable_ = nullptr;
  UnavailableRow* batteryLowPowerUnavailable_ = nullptr;
  LiveChart* chargeChart_ = nullptr;
  LiveChart* flowChart_ = nullptr;
  std::vector<LiveSeries> chargeSeries_;
  std::vector<LiveSeries> flowSeries_;
  QVBoxLayout* energyRows_ = nullptr;
  std::vector<KeyValueRow*> energyRowViews_;
  UnavailableRow* energyUnavailable_ = nullptr;
};

}  // namespace kivo
