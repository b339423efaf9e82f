#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The entry point every fuzz target defines: libFuzzer calls it in the fuzz build, and
// FuzzReplay.cpp calls it once per corpus file in the ordinary build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace kivo::fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kivo::fuzz
