#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// What Linux tells about the machine as a whole. Deliberately reads no serial number.
struct SystemFacts {
  std::optional<std::string> productName;    // /sys/class/dmi/id/product_name
  std::optional<std::string> prettyName;     // PRETTY_NAME of /etc/os-release
  std::optional<std::string> kernelRelease;  // uname(2) release
  std::optional<std::uint64_t> memTotal;     // MemTotal of /proc/meminfo, bytes
  std::optional<std::int64_t> bootTime;      // btime of /proc/stat, seconds since 1970
  std::optional<std::string> hostName;       // gethostname(2)
};

class SystemReader {
 public:
  explicit SystemReader(KernelFiles files) : files_(std::move(files)) {}
  SystemFacts read() const;

  // The value of KEY in an os-release text, with its shell quoting removed.
  static std::optional<std::string> osReleaseValue(std::string_view text, std::string_view key);

 private:
  KernelFiles files_;
};

}  // namespace kivo
