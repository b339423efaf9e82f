#pragma once

#include "collectors/GPUDevice.h"
#include "collectors/GPUStatistics.h"
#include "metrics/ValueFormatter.h"
#include "texts/GPUText.h"

#include <QString>

#include <optional>
#include <vector>

namespace kivo {

class MonitorModel;

struct GPUPageState {
  GPUUtilizationState utilization = GPUUtilizationState::noFigure;
  QString readout;  // the newest utilisation point; "—" before one
  QString cores;
  QString memoryInUse;
  QString memoryAllocated;
  bool sharedMemoryNote = false;
};

namespace GPUPagePresenter {

struct Row {
  QString label;
  QString value;
  bool operator==(const Row&) const = default;
};

// A figure the page cannot show and why.
struct MissingRow {
  QString label;
  QString reason;
};

// The device names as the kernel and the PCI database give them, joined by ", ".
QString subtitle(const std::vector<GPUDevice>& devices);
// Any GPU's figure counts: the readout is the largest over all of them.
GPUUtilizationState utilizationState(bool hasDevices, bool bestEffort,
                                     const std::vector<GPUStatistics>& statistics);
// Why there is no figure: no graphics device at all, or a driver that publishes none.
QString noFigureReason(bool hasDevices);
// The memory rows of a computer without a graphics device.
std::vector<MissingRow> memoryWithoutDevice();
// What Linux never gives this page, each with its own reason.
std::vector<MissingRow> notAvailable();
// The statistics the card's rows read: the first GPU with a utilisation figure, else the first.
const GPUStatistics* primary(const std::vector<GPUStatistics>& statistics);
// "1002:73bf"; "—" without both ids.
QString pciID(const GPUDevice& device);
// The facts of one device card, in order; "—" for what the kernel does not publish.
std::vector<Row> deviceRows(const GPUDevice& device);
GPUPageState state(const MonitorModel& model);

}  // namespace GPUPagePresenter

}  // namespace kivo
