#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace kivo {

// The "Apps" of the process page on Linux: a process is an application when it leads a unit that
// the user's systemd started for a desktop launch, that is its cgroup leaf is "app-*.scope" or
// "app-*@*.service" and its parent lives outside that unit (the helpers an app spawns share its
// cgroup and are not apps themselves).
//
// /proc/<pid>/cgroup is read only for the user's own processes and only when a pid (with its
// start time) is new, plus once more on the next sample, because a launcher moves its child into
// the app's scope just after starting it. A steady process list costs no reads at all.
class AppLeaders {
 public:
  // procRoot: the folder that holds proc/ ("/" except in tests).
  explicit AppLeaders(std::string procRoot = "/");

  // One process sample: begin() with the user's uid, see() every process of the sample, then
  // finish() gives the pids of the app leaders among the processes of that user.
  void begin(std::uint32_t uid);
  void see(std::int32_t pid, std::int32_t parentPID, std::uint32_t uid,
           const std::optional<QDateTime>& start);
  const std::unordered_set<std::int32_t>& finish();
  const std::unordered_set<std::int32_t>& pids() const { return pids_; }
  // Files read since construction (for tests of the cache).
  int reads() const { return reads_; }

  // The unified-hierarchy cgroup path of a /proc/<pid>/cgroup file ("0::" line, else the
  // systemd controller of a hybrid layout); absent when neither is there.
  static std::optional<QString> cgroupPath(QByteArrayView file);
  // Whether the last path component names a desktop-launched unit.
  static bool isAppUnit(QStringView path);
  // Whether a process in cgroup `path` whose parent sits in `parentPath` (absent: unknown)
  // leads the app unit.
  static bool leads(const std::optional<QString>& path, const std::optional<QString>& parentPath);

 private:
  struct Entry {
    std::optional<QDateTime> start;
    std::int32_t parentPID = 0;
    std::optional<QString> cgroup;
    int reads = 0;
    std::uint64_t seen = 0;
  };

  std::optional<QString> read(std::int32_t pid);

  std::string procRoot_;
  std::unordered_map<std::int32_t, Entry> cache_;
  std::unordered_set<std::int32_t> pids_;
  std::uint64_t generation_ = 0;
  std::uint32_t uid_ = 0;
  int reads_ = 0;
};

}  // namespace kivo
