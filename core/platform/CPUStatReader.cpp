#include "platform/CPUStatReader.h"

#include <charconv>

namespace kivo {

CPUStatReader::CPUStatReader(const KernelFiles& files)
    : stat_(files.path("/proc/stat")), loadavg_(files.path("/proc/loadavg")) {}

bool CPUStatReader::parseTicks(std::string_view text, std::vector<CPUTicks>& ticks) {
  ticks.clear();
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    // Per-CPU lines are "cpuN user nice system idle iowait irq softirq steal guest guest_nice".
    // The "cpu " total is skipped: it drops an offline CPU's ticks (which have no line then), so
    // the machine's load is summed over the CPUs matched between two readings instead.
    if (!line.starts_with("cpu")) {
      if (!ticks.empty()) break;  // the CPU lines come first and together
      continue;
    }
    std::string_view rest = line.substr(3);
    std::string_view token;
    if (!KernelText::nextToken(rest, token)) continue;
    if (token.data() != line.data() + 3) continue;  // "cpu " total: a blank follows "cpu"
    const auto number = KernelText::parseInt(token);
    if (!number || *number < 0 || *number > INT32_MAX) continue;
    CPUTicks entry;
    entry.cpu = static_cast<int>(*number);
    std::uint64_t* const fields[] = {&entry.user,   &entry.nice, &entry.system,  &entry.idle,
                                     &entry.iowait, &entry.irq,  &entry.softirq, &entry.steal};
    std::size_t filled = 0;
    for (auto* field : fields) {
      if (!KernelText::nextToken(rest, token)) break;
      const auto value = KernelText::parseUInt(token);
      if (!value) break;
      *field = *value;
      ++filled;
    }
    // Kernels older than 2.6.11 wrote fewer columns; the first four are required.
    if (filled < 4) continue;
    ticks.push_back(entry);
  }
  return !ticks.empty();
}

bool CPUStatReader::readTicks(std::vector<CPUTicks>& ticks) {
  if (!stat_.read(buffer_)) {
    ticks.clear();
    return false;
  }
  return parseTicks(buffer_, ticks);
}

std::optional<std::array<double, 3>> CPUStatReader::readLoadAverage() {
  if (!loadavg_.read(buffer_)) return std::nullopt;
  std::string_view text = buffer_;
  std::array<double, 3> loads{};
  for (double& load : loads) {
    std::string_view token;
    if (!KernelText::nextToken(text, token)) return std::nullopt;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), load);
    if (ec != std::errc() || end != token.data() + token.size() || load < 0) return std::nullopt;
  }
  return loads;
}

std::optional<std::int64_t> CPUStatReader::parseBootTime(std::string_view text) {
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    if (!line.starts_with("btime ")) continue;
    const auto value = KernelText::parseInt(line.substr(6));
    // Past the year 9999 it is malformed; process start times add milliseconds to it, which
    // must not overflow.
    constexpr std::int64_t kLastSecond = 253'402'300'799;  // 9999-12-31 23:59:59 UTC
    if (!value || *value < 0 || *value > kLastSecond) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

std::optional<std::int64_t> CPUStatReader::readBootTime(const KernelFiles& files) {
  std::string buffer;
  if (!files.read("/proc/stat", buffer)) return std::nullopt;
  return parseBootTime(buffer);
}

}  // namespace kivo
