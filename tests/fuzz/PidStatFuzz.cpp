// /proc/<pid>/stat and /proc/<pid>/io.
#include "FuzzInput.h"

#include "platform/ProcessReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text = kivo::fuzz::text(data, size);
  kivo::ProcEntry entry;
  // A name is cut out of the text between its parentheses, never longer than the text.
  if (kivo::ProcessReader::parseStat(text, entry) && entry.comm.size() + 2 > text.size()) std::abort();
  kivo::ProcessReader::parseIO(text, entry);
  return 0;
}
