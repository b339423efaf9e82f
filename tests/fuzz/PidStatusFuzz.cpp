// /proc/<pid>/status.
#include "FuzzInput.h"

#include "platform/ProcessReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kivo::ProcEntry entry;
  kivo::ProcessReader::parseStatus(kivo::fuzz::text(data, size), entry);
  if (entry.threads < 0) std::abort();
  return 0;
}
