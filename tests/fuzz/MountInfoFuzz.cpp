// /proc/self/mountinfo: the lines, their escapes, and the choice of volumes.
#include "FuzzInput.h"

#include "platform/MountTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kivo;
  const auto entries = MountTable::parse(fuzz::text(data, size));
  for (const auto& entry : entries) {
    MountTable::kind(entry);
    MountTable::hasOption(entry.options, "ro");
    MountTable::optionValue(entry.superOptions, "subvol");
  }
  if (MountTable::volumes(entries).size() > entries.size()) std::abort();
  return 0;
}
