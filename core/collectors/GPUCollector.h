#pragma once

#include "collectors/GPUDevice.h"
#include "collectors/GPUStatistics.h"
#include "platform/DrmCards.h"
#include "platform/KernelFiles.h"
#include "platform/NvidiaManagement.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// Graphics devices from /sys/class/drm and their driver statistics: amdgpu publishes its
// busy percentage and video-memory use in sysfs, NVIDIA cards answer through the
// driver's management library when it is installed; every other figure is absent.
class GPUCollector {
 public:
  explicit GPUCollector(std::string root = "/",
                        std::shared_ptr<NvidiaManagement> nvidia = NvmlLibrary::shared());
  GPUCollector(const GPUCollector&) = delete;
  GPUCollector& operator=(const GPUCollector&) = delete;

  // One record per DRM card, by card number.
  std::vector<GPUDevice> devices() const;
  // One record per GPU that publishes statistics: sysfs cards first, then NVIDIA's.
  // The card files stay open between calls.
  std::vector<GPUStatistics> statistics();

  // One card's statistics from the texts of its gpu_busy_percent and mem_info_vram_used
  // files (absent when unreadable). No record when neither gives a figure.
  static std::optional<GPUStatistics> parse(const QString& name, std::optional<std::string_view> busyPercent,
                                            std::optional<std::string_view> vramUsed);
  static GPUStatistics fromNvidia(const NvidiaReading& reading);
  // A card's display name: pci.ids when installed, else its maker, else its driver.
  static QString cardName(const KernelFiles& files, const DrmCard& card);

 private:
  struct CardFiles {
    QString name;
    std::optional<std::uint32_t> vendor, device;
    KernelFile busy;
    KernelFile vramUsed;
    KernelFile runtimeStatus;
  };
  void rescan();

  KernelFiles files_;
  std::shared_ptr<NvidiaManagement> nvidia_;
  std::vector<CardFiles> cards_;
  std::string buffer_;
  std::string secondBuffer_;
  unsigned readsSinceScan_ = 0;
  bool scanned_ = false;
};

}  // namespace kivo
