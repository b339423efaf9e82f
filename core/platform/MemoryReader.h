#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// The lines of /proc/meminfo the memory figures are built from, in bytes.
struct MemInfo {
  std::uint64_t memTotal = 0;
  std::uint64_t memFree = 0;
  std::uint64_t buffers = 0;
  std::uint64_t cached = 0;
  std::uint64_t shmem = 0;
  std::uint64_t anonPages = 0;
  std::uint64_t sReclaimable = 0;
  std::uint64_t sUnreclaim = 0;
  std::uint64_t kernelStack = 0;
  std::uint64_t pageTables = 0;
  std::uint64_t swapTotal = 0;
  std::uint64_t swapFree = 0;
  std::optional<std::uint64_t> zswap;  // only kernels with zswap have the line

  bool operator==(const MemInfo&) const = default;
};

// Paging counters of /proc/vmstat, in pages; absent when the line is missing.
struct VMStat {
  std::optional<std::uint64_t> pgmajfault;
  std::optional<std::uint64_t> pswpin;
  std::optional<std::uint64_t> pswpout;

  bool operator==(const VMStat&) const = default;
};

// avg10 of /proc/pressure/memory, in percent of wall time.
struct MemoryStall {
  double some = 0;
  std::optional<double> full;
};

// Keeps the memory files open and re-reads them into one reused buffer.
class MemoryReader {
 public:
  explicit MemoryReader(const KernelFiles& files);

  // Absent when meminfo cannot be read or lacks a line the figures need.
  std::optional<MemInfo> readMemInfo();
  VMStat readVMStat();
  // Absent when the kernel has no pressure stall information (before 4.20, or psi=0).
  std::optional<MemoryStall> readPressure();
  // Memory held by zram devices (mm_stat mem_used_total), summed; absent when there is none.
  std::optional<std::uint64_t> readZram();
  // Looks for zram devices again (they can be added while we run).
  void findZramDevices();

  static std::optional<MemInfo> parseMemInfo(std::string_view text);
  static VMStat parseVMStat(std::string_view text);
  static std::optional<MemoryStall> parsePressure(std::string_view text);

 private:
  KernelFiles files_;
  KernelFile meminfo_;
  KernelFile vmstat_;
  KernelFile pressure_;
  std::vector<KernelFile> zram_;
  std::string buffer_;
};

}  // namespace kivo
