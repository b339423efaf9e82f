// rtnetlink dump replies (links, addresses, routes, done, error).
#include "FuzzInput.h"

#include "platform/RtnetlinkParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kivo::RtnetlinkState state;
  kivo::RtnetlinkParser::parse(data, size, state);
  return 0;
}
