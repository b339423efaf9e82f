#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// Capacity of a mounted file system, in bytes.
struct FileSystemSpace {
  std::uint64_t total = 0;      // f_blocks
  std::uint64_t available = 0;  // f_bavail: what an unprivileged user may still write
  bool readOnly = false;

  bool operator==(const FileSystemSpace&) const = default;
};

// statvfs of a path; absent when it fails.
std::optional<FileSystemSpace> statFileSystem(const std::string& path);

// Reads capacities where a call may hang (a network server that went away) without ever
// holding up the caller past a deadline: every path is read on its own detached thread, and
// a path whose earlier read still hangs is not read again until that read returns.
class BoundedSpaceReader {
 public:
  using Reader = std::function<std::optional<FileSystemSpace>(const std::string& path)>;

  explicit BoundedSpaceReader(Reader reader = statFileSystem);
  ~BoundedSpaceReader();
  BoundedSpaceReader(const BoundedSpaceReader&) = delete;
  BoundedSpaceReader& operator=(const BoundedSpaceReader&) = delete;

  // One result per path, in order; absent for a failed read or one not done by the deadline.
  std::vector<std::optional<FileSystemSpace>> readAll(const std::vector<std::string>& paths,
                                                      std::chrono::milliseconds budget);
  // Reads started by this reader that have not returned yet.
  int pending() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace kivo
