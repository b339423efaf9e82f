#include "platform/CPUInfoReader.h"

#include <set>
#include <string>
#include <utility>

namespace kivo {

namespace {

constexpr int kMaxCPUs = 1 << 16;

// Distinct (package, core) pairs of the given CPUs, from their topology folders.
std::optional<int> physicalCoresOf(const KernelFiles& files, const std::vector<int>& cpus) {
  std::set<std::pair<std::int64_t, std::int64_t>> cores;
  for (const int cpu : cpus) {
    const std::string base = "/sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/topology/";
    const auto core = files.readInt(base + "core_id");
    if (!core) continue;
    const auto package = files.readInt(base + "physical_package_id");
    cores.emplace(package.value_or(0), *core);
  }
  if (cores.empty()) return std::nullopt;
  return static_cast<int>(cores.size());
}

}  // namespace

std::optional<std::vector<int>> CPUInfoReader::parseCPUList(std::string_view text) {
  text = KernelText::trim(text);
  std::vector<int> cpus;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view part = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto dash = part.find('-');
    const auto first = KernelText::parseInt(part.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : KernelText::parseInt(part.substr(dash + 1));
    if (!first || !last || *first < 0 || *last < *first || *last >= kMaxCPUs) return std::nullopt;
    for (auto cpu = *first; cpu <= *last; ++cpu) cpus.push_back(static_cast<int>(cpu));
  }
  return cpus;
}

CPUInfo CPUInfoReader::read() const {
  CPUInfo info;

  // /proc/cpuinfo: the brand ("model name" on x86 and some ARM kernels), and the fallbacks
  // for the counts when sysfs is missing.
  int processors = 0;
  std::set<std::pair<std::string, std::string>> cpuinfoCores;
  std::string physicalID;
  std::string buffer;
  if (files_.read("/proc/cpuinfo", buffer)) {
    std::string_view text = buffer;
    std::string_view line;
    while (KernelText::nextLine(text, line)) {
      const auto colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      const auto key = KernelText::trim(line.substr(0, colon));
      const auto value = KernelText::trim(line.substr(colon + 1));
      if (key == "processor") {
        ++processors;
      } else if (key == "model name" && !info.brand && !value.empty()) {
        info.brand = std::string(value);
      } else if (key == "physical id") {
        physicalID = std::string(value);
      } else if (key == "core id") {
        cpuinfoCores.emplace(physicalID, std::string(value));
      }
    }
  }

  std::optional<std::vector<int>> online;
  if (const auto line = files_.readLine("/sys/devices/system/cpu/online")) online = parseCPUList(*line);
  if (online && !online->empty()) {
    info.logicalCores = static_cast<int>(online->size());
    info.physicalCores = physicalCoresOf(files_, *online);
  } else if (processors > 0) {
    info.logicalCores = processors;
  }
  if (!info.physicalCores && !cpuinfoCores.empty())
    info.physicalCores = static_cast<int>(cpuinfoCores.size());

  // Hybrid processors publish one PMU per kind of core, each with its CPU list.
  static const std::pair<const char*, const char*> kKinds[] = {{"/sys/devices/cpu_core/cpus", "Performance"},
                                                               {"/sys/devices/cpu_atom/cpus", "Efficiency"}};
  for (const auto& [path, name] : kKinds) {
    const auto line = files_.readLine(path);
    if (!line) continue;
    const auto cpus = parseCPUList(*line);
    if (!cpus || cpus->empty()) continue;
    info.kinds.push_back({name, physicalCoresOf(files_, *cpus).value_or(0), static_cast<int>(cpus->size())});
  }
  return info;
}

}  // namespace kivo
