#pragma once

#include "design/LiveSeries.h"
#include "design/Page.h"

#include <QHash>

#include <vector>

class QVBoxLayout;

namespace kivo {

class Card;
class KeyedGrid;
class LiveChart;
class MonitorModel;
class PageHeader;
class Readout;
class ToneLabel;
class VolumeView;

// The disk section: volumes with their space, throughput of the physical disks, the startup
// volume's available space and the block devices. Built once, refreshed in place.
class DiskPage : public Page {
  Q_OBJECT

 public:
  explicit DiskPage(MonitorModel& model, QWidget* parent = nullptr);

 protected:
  // A change of the colour-blind-safe choice recolours the meters.
  bool event(QEvent* event) override;

 private:
  void build();
  void refreshSnapshot();
  void refreshLive();
  void refreshVolumes();

  MonitorModel& model_;
  PageHeader* header_ = nullptr;
  Card* volumesCard_ = nullptr;
  ToneLabel* noVolumes_ = nullptr;
  QVBoxLayout* volumeColumn_ = nullptr;
  QStringList volumeOrder_;
  QHash<QString, VolumeView*> volumes_;
  Readout* read_ = nullptr;
  Readout* write_ = nullptr;
  Readout* free_ = nullptr;
  LiveChart* throughput_ = nullptr;
  LiveChart* space_ = nullptr;
  std::vector<LiveSeries> throughputSeries_;
  std::vector<LiveSeries> spaceSeries_;
  KeyedGrid* devices_ = nullptr;
};

}  // namespace kivo
