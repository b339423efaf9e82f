#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// One NVIDIA GPU's figures from the driver's management library.
struct NvidiaReading {
  std::string name;
  std::optional<double> utilization;         // percent
  std::optional<std::uint64_t> memoryUsed;   // bytes
  std::optional<std::uint64_t> memoryTotal;  // bytes

  bool operator==(const NvidiaReading&) const = default;
};

// The NVIDIA driver's statistics; tests replace it.
class NvidiaManagement {
 public:
  virtual ~NvidiaManagement() = default;
  // Empty when the library is missing or has no device.
  virtual std::vector<NvidiaReading> read() = 0;
};

// libnvidia-ml loaded with dlopen on first use. Machines without the NVIDIA driver pay
// one failed load per process, nothing more.
class NvmlLibrary final : public NvidiaManagement {
 public:
  std::vector<NvidiaReading> read() override;
  // The process-wide instance (the library is initialised once and kept).
  static std::shared_ptr<NvidiaManagement> shared();

 private:
  NvmlLibrary() = default;
};

}  // namespace kivo
