#pragma once

#include "platform/KernelFiles.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// One kind of core of a hybrid processor (/sys/devices/cpu_core, /sys/devices/cpu_atom).
struct CPUCoreKind {
  std::string name;
  int physicalCores = 0;
  int logicalCores = 0;
};

struct CPUInfo {
  std::optional<std::string> brand;
  std::optional<int> physicalCores;
  std::optional<int> logicalCores;
  std::vector<CPUCoreKind> kinds;  // performance cores first; empty unless hybrid
};

// Processor brand and layout from /proc/cpuinfo and /sys/devices/system/cpu.
class CPUInfoReader {
 public:
  explicit CPUInfoReader(KernelFiles files) : files_(std::move(files)) {}
  CPUInfo read() const;

  // A kernel CPU list such as "0-3,8,10-11"; absent when malformed.
  static std::optional<std::vector<int>> parseCPUList(std::string_view text);

 private:
  KernelFiles files_;
};

}  // namespace kivo
