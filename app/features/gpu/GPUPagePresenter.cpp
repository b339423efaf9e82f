#include "features/gpu/GPUPagePresenter.h"
#include "metrics/OutsideText.h"

#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QStringList>

#include <cmath>

namespace kivo::GPUPagePresenter {
namespace {

const QString kDash = QStringLiteral("—");

QString yesNo(const std::optional<bool>& value) {
  if (!value) return kDash;
  return *value ? tr("Yes") : tr("No");
}

QString bytes(const std::optional<std::uint64_t>& value, const ValueFormatter& format) {
  return value ? format.bytes(static_cast<double>(*value), true) : kDash;
}

}  // namespace

QString subtitle(const std::vector<GPUDevice>& devices) {
  QStringList names;
  for (const GPUDevice& device : devices) names << OutsideText::visible(device.name);
  return names.join(QStringLiteral(", "));
}

GPUUtilizationState utilizationState(bool hasDevices, bool bestEffort,
                                     const std::vector<GPUStatistics>& statistics) {
  return GPUText::utilizationState(hasDevices, bestEffort, statistics);
}

QString noFigureReason(bool hasDevices) {
  if (!hasDevices) return GPUText::noDevice();
  return tr(
      "The graphics driver on this computer publishes no utilization figure. Only the amdgpu driver and "
      "NVIDIA's management library do.");
}

std::vector<MissingRow> memoryWithoutDevice() {
  const QString reason = tr("There is no graphics memory without a graphics device.");
  return {{tr("In use by the GPU"), reason}, {tr("Allocated by the driver"), reason}};
}

std::vector<MissingRow> notAvailable() {
  return {
      {tr("Per-process GPU usage"), tr("Only some drivers publish it, per open file under "
                                       "/proc/<pid>/fdinfo; KIVO Monitor does not collect it.")},
      {tr("GPU temperature"),
       tr("Only some drivers publish it, through /sys/class/hwmon; KIVO Monitor does not collect it.")},
      {tr("GPU power draw"),
       tr("Only some drivers publish it, through /sys/class/hwmon; KIVO Monitor does not collect it.")},
  };
}

const GPUStatistics* primary(const std::vector<GPUStatistics>& statistics) {
  for (const GPUStatistics& gpu : statistics) {
    if (gpu.deviceUtilization) return &gpu;
  }
  return statistics.empty() ? nullptr : &statistics.front();
}

QString pciID(const GPUDevice& device) {
  if (!device.vendorID || !device.deviceID) return kDash;
  return QStringLiteral("%1:%2")
      .arg(*device.vendorID, 4, 16, QLatin1Char('0'))
      .arg(*device.deviceID, 4, 16, QLatin1Char('0'));
}

std::vector<Row> deviceRows(const GPUDevice& device) {
  QString raytracing = kDash;
  if (device.supportsRaytracing)
    raytracing = *device.supportsRaytracing ? tr("Supported") : tr("Not supported");
  return {
      {tr("Unified memory"), yesNo(device.hasUnifiedMemory)},
      {tr("Driver"), device.driver.value_or(kDash)},
      {tr("PCI ID"), pciID(device)},
      {tr("Ray tracing"), raytracing},
      {tr("Low-power device"), yesNo(device.isLowPower)},
      {tr("Removable (eGPU)"), yesNo(device.isRemovable)},
      {tr("Headless"), yesNo(device.isHeadless)},
      {tr("Threads per threadgroup"),
       device.maxThreadsPerThreadgroup ? QString::number(*device.maxThreadsPerThreadgroup) : kDash},
  };
}

GPUPageState state(const MonitorModel& model) {
  const ValueFormatter& format = model.format();
  static const std::vector<GPUStatistics> kNone;
  const auto& snapshot = model.snapshot();
  const std::vector<GPUStatistics>& statistics = snapshot ? snapshot->gpu : kNone;
  GPUPageState state;
  state.utilization = utilizationState(!model.gpuDevices().empty(),
                                       model.settings().telemetry().bestEffortMetrics, statistics);
  const auto latest = model.latest(MetricID::gpuUtilization);
  state.readout = latest && std::isfinite(*latest) ? format.percent(*latest, 0) : kDash;
  const GPUStatistics* gpu = primary(statistics);
  state.cores = gpu && gpu->coreCount ? QString::number(*gpu->coreCount) : kDash;
  state.memoryInUse = gpu ? bytes(gpu->memoryInUse, format) : kDash;
  state.memoryAllocated = gpu ? bytes(gpu->memoryAllocated, format) : kDash;
  state.sharedMemoryNote =
      !model.gpuDevices().empty() && model.gpuDevices().front().hasUnifiedMemory.value_or(false);
  return state;
}

}  // namespace kivo::GPUPagePresenter
