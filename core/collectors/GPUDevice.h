#pragma once

#include <QJsonObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// One graphics device (a DRM card). Capabilities the kernel does not publish for a
// card (working-set size, buffer limits, ray tracing, threadgroup size, low-power and
// unified-memory flags) are absent rather than guessed.
struct GPUDevice {
  std::uint64_t id = 0;                   // the card's number (card0 → 0); identity within a run
  QString name;                           // marketing name when known, else a generic one
  std::optional<std::uint32_t> vendorID;  // PCI vendor id
  std::optional<std::uint32_t> deviceID;  // PCI device id
  std::optional<QString> driver;          // kernel driver ("amdgpu", "i915", "nvidia")
  std::optional<bool> isLowPower;
  std::optional<bool> isRemovable;
  bool isHeadless = true;  // no connector has a display connected
  std::optional<bool> hasUnifiedMemory;
  std::optional<std::uint64_t> recommendedMaxWorkingSet;
  std::optional<std::uint64_t> maxBufferLength;
  std::optional<bool> supportsRaytracing;
  std::optional<bool> supports32BitMSAA;
  std::optional<std::int64_t> maxThreadsPerThreadgroup;

  bool operator==(const GPUDevice&) const = default;

  QJsonObject toJson() const;
  // id, name and isHeadless are required; the rest may be missing.
  static std::optional<GPUDevice> fromJson(const QJsonObject& object);
};

}  // namespace kivo
