// /proc/stat: per-CPU tick lines and the boot time.
#include "FuzzInput.h"

#include "platform/CPUStatReader.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text = kivo::fuzz::text(data, size);
  static std::vector<kivo::CPUTicks> ticks;
  kivo::CPUStatReader::parseTicks(text, ticks);
  kivo::CPUStatReader::parseBootTime(text);
  return 0;
}
