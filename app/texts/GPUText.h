#pragma once

#include "collectors/GPUStatistics.h"

#include <QString>

#include <vector>

namespace kivo {

// What a GPU utilisation readout can show on this computer.
enum class GPUUtilizationState {
  noDevice,       // the computer has no graphics device at all
  bestEffortOff,  // readings turned off in the settings
  noFigure,       // no driver publishes a figure
  figure,         // the readout and its rows
};

namespace GPUText {

// No device comes first: turning readings on would not give a computer without one a figure.
GPUUtilizationState utilizationState(bool hasDevices, bool bestEffort,
                                     const std::vector<GPUStatistics>& statistics);
// "This computer has no graphics device: …", as the GPU page and the overview card both say it.
QString noDevice();
QString turnedOff();

}  // namespace GPUText

}  // namespace kivo
