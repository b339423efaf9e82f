#include "platform/MemoryReader.h"

#include <charconv>

namespace kivo {

namespace {

// Splits "Key:   123 kB" without allocating.
bool splitRow(std::string_view line, std::string_view& key, std::string_view& value) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  key = line.substr(0, colon);
  value = line.substr(colon + 1);
  return true;
}

std::optional<double> parseDecimal(std::string_view text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !(value >= 0)) return std::nullopt;
  return value;
}

}  // namespace

MemoryReader::MemoryReader(const KernelFiles& files)
    : files_(files),
      meminfo_(files.path("/proc/meminfo")),
      vmstat_(files.path("/proc/vmstat")),
      pressure_(files.path("/proc/pressure/memory")) {
  findZramDevices();
}

std::optional<MemInfo> MemoryReader::parseMemInfo(std::string_view text) {
  MemInfo info;
  struct Row {
    std::string_view key;
    std::uint64_t* field;
  };
  const Row rows[] = {{"MemTotal", &info.memTotal},
                      {"MemFree", &info.memFree},
                      {"Buffers", &info.buffers},
                      {"Cached", &info.cached},
                      {"Shmem", &info.shmem},
                      {"AnonPages", &info.anonPages},
                      {"SReclaimable", &info.sReclaimable},
                      {"SUnreclaim", &info.sUnreclaim},
                      {"KernelStack", &info.kernelStack},
                      {"PageTables", &info.pageTables},
                      {"SwapTotal", &info.swapTotal},
                      {"SwapFree", &info.swapFree}};
  constexpr std::size_t kRows = std::size(rows);
  bool seen[kRows] = {};
  std::string_view line;
  std::string_view key;
  std::string_view value;
  while (KernelText::nextLine(text, line)) {
    if (!splitRow(line, key, value)) continue;
    if (key == "Zswap") {
      info.zswap = KernelText::parseQuantity(value);
      continue;
    }
    for (std::size_t i = 0; i < kRows; ++i) {
      if (seen[i] || key != rows[i].key) continue;
      const auto number = KernelText::parseQuantity(value);
      if (!number) return std::nullopt;
      *rows[i].field = *number;
      seen[i] = true;
      break;
    }
  }
  for (const bool found : seen) {
    if (!found) return std::nullopt;
  }
  if (info.memTotal == 0) return std::nullopt;
  return info;
}

VMStat MemoryReader::parseVMStat(std::string_view text) {
  VMStat stat;
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    std::string_view rest = line;
    std::string_view key;
    std::string_view value;
    if (!KernelText::nextToken(rest, key) || !KernelText::nextToken(rest, value)) continue;
    if (key == "pgmajfault") {
      stat.pgmajfault = KernelText::parseUInt(value);
    } else if (key == "pswpin") {
      stat.pswpin = KernelText::parseUInt(value);
    } else if (key == "pswpout") {
      stat.pswpout = KernelText::parseUInt(value);
    }
  }
  return stat;
}

std::optional<MemoryStall> MemoryReader::parsePressure(std::string_view text) {
  // "some avg10=0.00 avg60=0.00 avg300=0.00 total=0" and the same for "full".
  std::optional<double> some;
  std::optional<double> full;
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    std::string_view rest = line;
    std::string_view kind;
    std::string_view field;
    if (!KernelText::nextToken(rest, kind)) continue;
    while (KernelText::nextToken(rest, field)) {
      if (field.substr(0, 6) != "avg10=") continue;
      const auto value = parseDecimal(field.substr(6));
      if (kind == "some") some = value;
      if (kind == "full") full = value;
      break;
    }
  }
  if (!some) return std::nullopt;
  return MemoryStall{*some, full};
}

std::optional<MemInfo> MemoryReader::readMemInfo() {
  if (!meminfo_.read(buffer_)) return std::nullopt;
  return parseMemInfo(buffer_);
}

VMStat MemoryReader::readVMStat() {
  if (!vmstat_.read(buffer_)) return {};
  return parseVMStat(buffer_);
}

std::optional<MemoryStall> MemoryReader::readPressure() {
  if (!pressure_.read(buffer_)) return std::nullopt;
  return parsePressure(buffer_);
}

void MemoryReader::findZramDevices() {
  zram_.clear();
  for (const auto& name : files_.list("/sys/block")) {
    if (name.starts_with("zram")) zram_.emplace_back(files_.path("/sys/block/" + name + "/mm_stat"));
  }
}

std::optional<std::uint64_t> MemoryReader::readZram() {
  std::optional<std::uint64_t> total;
  for (auto& device : zram_) {
    // mm_stat: orig_data_size compr_data_size mem_used_total ...
    if (!device.read(buffer_)) continue;
    std::string_view text = buffer_;
    std::string_view token;
    std::optional<std::uint64_t> used;
    for (int i = 0; i < 3 && KernelText::nextToken(text, token); ++i) {
      if (i == 2) used = KernelText::parseUInt(token);
    }
    if (used) total = total.value_or(0) + *used;
  }
  return total;
}

}  // namespace kivo
