#pragma once

#include <sqlite3.h>

#include <atomic>
#include <mutex>

namespace kivo::test {

// Stands in for a full disk: while full, every write SQLite makes to a file (database or log)
// fails with SQLITE_FULL, as it does when the file system has no space left. Installed as the
// default VFS, wrapping the real one, so the store under test needs no hook of its own.
class FullDisk {
 public:
  // Installs the wrapper once; connections opened afterwards go through it.
  static void install() {
    static std::once_flag once;
    std::call_once(once, [] {
      real() = sqlite3_vfs_find(nullptr);
      wrapper() = *real();
      wrapper().zName = "kivo-full-disk";
      wrapper().pNext = nullptr;
      wrapper().xOpen = &open;
      sqlite3_vfs_register(&wrapper(), 1);
    });
  }
  static void setFull(bool full) { flag().store(full); }

 private:
  static std::atomic<bool>& flag() {
    static std::atomic<bool> full{false};
    return full;
  }
  static sqlite3_vfs*& real() {
    static sqlite3_vfs* vfs = nullptr;
    return vfs;
  }
  static sqlite3_vfs& wrapper() {
    static sqlite3_vfs vfs{};
    return vfs;
  }
  // The unix VFS gives the database and its log different method tables (the log takes no
  // locks); each real table gets one copy whose xWrite fails while full.
  struct Methods {
    const sqlite3_io_methods* real = nullptr;
    sqlite3_io_methods wrapped{};
  };
  static constexpr int kTables = 8;
  static Methods* tables() {
    static Methods methods[kTables];
    return methods;
  }

  static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (flag().load()) return SQLITE_FULL;
    for (int i = 0; i < kTables; ++i) {
      if (file->pMethods == &tables()[i].wrapped) return tables()[i].real->xWrite(file, data, amount, offset);
    }
    return SQLITE_IOERR_WRITE;
  }

  static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    // Same file object as the real one (same size): only its method table is swapped.
    const int rc = real()->xOpen(real(), name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    for (int i = 0; i < kTables; ++i) {
      Methods& slot = tables()[i];
      if (!slot.real) {
        slot.real = file->pMethods;
        slot.wrapped = *file->pMethods;
        slot.wrapped.xWrite = &write;
      }
      if (slot.real == file->pMethods) {
        file->pMethods = &slot.wrapped;
        break;
      }
    }
    return rc;
  }
};

}  // namespace kivo::test
