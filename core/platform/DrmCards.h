#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// One graphics card as /sys/class/drm/card<N> shows it.
struct DrmCard {
  int number = 0;                       // card0 → 0
  std::string devicePath;               // kernel path of card<N>/device, for the driver's own files
  std::optional<std::uint32_t> vendor;  // PCI ids, absent for non-PCI devices
  std::optional<std::uint32_t> device;
  std::optional<std::string> driver;  // DRIVER= of the device's uevent
  std::optional<bool> removable;      // PCI "removable" attribute when the kernel knows
  int connectors = 0;
  bool displayConnected = false;  // some connector reports "connected"

  bool operator==(const DrmCard&) const = default;
};

namespace DrmCards {
// Every card<N> under <root>/sys/class/drm, by number, with its connectors.
std::vector<DrmCard> read(const KernelFiles& files);
// The device's name from the PCI id database (pci.ids) below the root, when installed.
std::optional<std::string> pciDeviceName(const KernelFiles& files, std::uint32_t vendor,
                                         std::uint32_t device);
// A name from a pci.ids text: the device's line under its vendor.
std::optional<std::string> lookupPciName(std::string_view database, std::uint32_t vendor,
                                         std::uint32_t device);
}  // namespace DrmCards

}  // namespace kivo
