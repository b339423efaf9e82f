#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

// What the history holds unwritten and why the latest write failed; read after a failed flush.
struct StoreWriteStatus {
  // The message of the latest failed statement; absent after a successful flush.
  std::optional<QString> error;
  // SQLite's primary result code of that failure (SQLITE_FULL, SQLITE_READONLY, ...); 0 without one.
  int code = 0;
  // Raw samples queued and not yet written.
  std::uint64_t pendingSamples = 0;
  // Queued rows dropped because flushes kept failing.
  std::uint64_t droppedRows = 0;

  bool operator==(const StoreWriteStatus&) const = default;
};

}  // namespace kivo
