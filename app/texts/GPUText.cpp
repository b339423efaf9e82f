#include "texts/GPUText.h"

#include "texts/Localized.h"

namespace kivo::GPUText {

GPUUtilizationState utilizationState(bool hasDevices, bool bestEffort,
                                     const std::vector<GPUStatistics>& statistics) {
  if (!hasDevices && statistics.empty()) return GPUUtilizationState::noDevice;
  if (!bestEffort) return GPUUtilizationState::bestEffortOff;
  for (const GPUStatistics& gpu : statistics) {
    if (gpu.deviceUtilization) return GPUUtilizationState::figure;
  }
  return GPUUtilizationState::noFigure;
}

QString noDevice() {
  return tr("This computer has no graphics device: the kernel lists none under /sys/class/drm.");
}

QString turnedOff() {
  return tr("Best-effort readings are turned off in Settings.");
}

}  // namespace kivo::GPUText
