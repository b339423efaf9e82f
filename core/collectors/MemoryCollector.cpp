#include "collectors/MemoryCollector.h"

#include <unistd.h>

#include <algorithm>

namespace kivo {

namespace MemoryMath {

Partition account(const MemInfo& info, std::optional<std::uint64_t> compressed) {
  const auto minus = [](std::uint64_t a, std::uint64_t b) { return a > b ? a - b : 0; };
  const std::uint64_t total = info.memTotal;
  Partition p;
  // Anonymous memory of processes plus all shared memory (tmpfs, shm), which may outlive
  // every process that used it.
  p.app = info.anonPages + info.shmem;
  p.compressed = compressed;
  // File pages and reclaimable slab; Shmem sits inside Cached but is counted as app memory.
  const std::uint64_t cached = minus(info.buffers + info.cached, info.shmem) + info.sReclaimable;
  // Wired is all the kernel holds and cannot give back. Only part of it has a counter (vmalloc,
  // per-CPU areas, driver memory and reserved huge pages have none), so it is what remains of
  // MemTotal once free, app, cached and compressed memory are taken away; never less than the
  // counters that do name kernel memory.
  const std::uint64_t named = info.sUnreclaim + info.kernelStack + info.pageTables;
  const std::uint64_t remainder =
      minus(minus(minus(minus(total, info.memFree), p.app), cached), compressed.value_or(0));
  p.wired = std::min(std::max(remainder, named), total);
  // A file whose counters do not add up still gives used + cached + free <= MemTotal.
  p.used = std::min(p.app + p.wired + compressed.value_or(0), total);
  p.cached = std::min(cached, total - p.used);
  p.free = std::min(info.memFree, total - p.used - p.cached);
  return p;
}

MemoryPressureLevel pressureLevel(const MemoryStall& stall) {
  if (stall.full && *stall.full >= kCriticalFullStall) return MemoryPressureLevel::critical;
  if (stall.some >= kWarningSomeStall) return MemoryPressureLevel::warning;
  return MemoryPressureLevel::normal;
}

}  // namespace MemoryMath

namespace {
std::optional<double> rate(std::optional<std::uint64_t> previous, std::optional<std::uint64_t> current,
                           double elapsed) {
  // A counter that went down was reset: no rate, never a wrap.
  if (!previous || !current || *current < *previous || elapsed <= 0) return std::nullopt;
  return static_cast<double>(*current - *previous) / elapsed;
}
}  // namespace

MemoryCollector::MemoryCollector(const std::string& root) : reader_(KernelFiles(root)) {
  const long size = ::sysconf(_SC_PAGESIZE);
  pageSize_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

void MemoryCollector::reset() {
  previous_.reset();
  previousTime_ = 0;
  reader_.findZramDevices();
}

std::optional<MemorySample> MemoryCollector::sample(double now) {
  const auto info = reader_.readMemInfo();
  if (!info) return std::nullopt;

  // Compressed memory: zswap's pool (the Zswap line) plus what zram devices hold.
  std::optional<std::uint64_t> compressed = info->zswap;
  if (const auto zram = reader_.readZram()) compressed = compressed.value_or(0) + *zram;
  const auto partition = MemoryMath::account(*info, compressed);

  MemorySample sample;
  sample.physical = info->memTotal;
  sample.used = partition.used;
  sample.app = partition.app;
  sample.wired = partition.wired;
  sample.compressed = partition.compressed;
  sample.cached = partition.cached;
  sample.free = partition.free;
  sample.swapTotal = info->swapTotal;
  sample.swapUsed = info->swapTotal > info->swapFree ? info->swapTotal - info->swapFree : 0;
  // Pressure stall information; kernels without it leave the level absent.
  if (const auto stall = reader_.readPressure()) sample.pressure = MemoryMath::pressureLevel(*stall);
  sample.pageSize = pageSize_;

  // Paging from /proc/vmstat, in pages: page-ins are major faults (pages brought in from disk),
  // page-outs and swap-outs are pages written to swap (pgpgin/pgpgout count KiB of block I/O).
  const VMStat counters = reader_.readVMStat();
  const double elapsed = previousTime_ > 0 ? now - previousTime_ : 0;
  if (previous_) {
    sample.pageInRate = rate(previous_->pgmajfault, counters.pgmajfault, elapsed);
    sample.pageOutRate = rate(previous_->pswpout, counters.pswpout, elapsed);
    sample.swapInRate = rate(previous_->pswpin, counters.pswpin, elapsed);
    sample.swapOutRate = rate(previous_->pswpout, counters.pswpout, elapsed);
  }
  previous_ = counters;
  previousTime_ = now;
  return sample;
}

}  // namespace kivo
