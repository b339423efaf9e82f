#include "collectors/CPUCollector.h"

#include "platform/KernelFiles.h"

namespace kivo {

namespace {

struct TickDelta {
  std::uint64_t user = 0;
  std::uint64_t system = 0;
  std::uint64_t idle = 0;

  void add(const TickDelta& other) {
    user += other.user;
    system += other.system;
    idle += other.idle;
  }
};

std::uint64_t rise(std::uint64_t previous, std::uint64_t current) {
  return current > previous ? current - previous : 0;
}

// user = user + nice (guest time is already inside both); system = system + irq + softirq + steal;
// idle = idle + iowait. Each field's difference saturates at 0: the kernel's per-CPU idle and
// iowait can step backwards, and these 64-bit counters never wrap.
TickDelta difference(const CPUTicks& p, const CPUTicks& c) {
  return {rise(p.user, c.user) + rise(p.nice, c.nice),
          rise(p.system, c.system) + rise(p.irq, c.irq) + rise(p.softirq, c.softirq) + rise(p.steal, c.steal),
          rise(p.idle, c.idle) + rise(p.iowait, c.iowait)};
}

CPULoad toLoad(const TickDelta& d) {
  const std::uint64_t all = d.user + d.system + d.idle;
  if (all == 0) return CPULoad::zero();
  const double total = static_cast<double>(all);
  return {static_cast<double>(d.user) / total, static_cast<double>(d.system) / total,
          static_cast<double>(d.idle) / total};
}

// Walks both readings in step by CPU number (the kernel lists them in ascending order) and
// calls `matched` for each CPU present in both.
template <typename F>
void forEachMatch(std::span<const CPUTicks> previous, std::span<const CPUTicks> current, F matched) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < previous.size() && j < current.size()) {
    if (previous[i].cpu == current[j].cpu) {
      matched(previous[i], current[j]);
      ++i;
      ++j;
    } else if (previous[i].cpu < current[j].cpu) {
      ++i;
    } else {
      ++j;
    }
  }
}

}  // namespace

CPUCollector::CPUCollector(const std::string& root) : reader_(KernelFiles(root)) {}

void CPUCollector::reset() {
  previous_.clear();
  previousTime_ = 0;
}

std::optional<CPUSample> CPUCollector::sample(double now) {
  if (!reader_.readTicks(current_)) return std::nullopt;

  CPUSample sample;
  if (previousTime_ > 0 && !previous_.empty()) {
    sample.cores.reserve(current_.size());
    sample.coreIDs.reserve(current_.size());
    TickDelta sum;
    forEachMatch(previous_, current_, [&](const CPUTicks& p, const CPUTicks& c) {
      const TickDelta d = difference(p, c);
      sum.add(d);
      sample.cores.push_back(toLoad(d));
      sample.coreIDs.push_back(c.cpu);
    });
    sample.total = toLoad(sum);
  }
  const bool measured = !sample.cores.empty();
  if (measured) {
    if (const auto loads = reader_.readLoadAverage()) sample.loadAverage.assign(loads->begin(), loads->end());
    sample.interval = now - previousTime_;
  }
  // The new reading becomes the baseline; the old buffer is reused for the next read.
  previous_.swap(current_);
  previousTime_ = now;
  if (!measured) return std::nullopt;
  return sample;
}

}  // namespace kivo
