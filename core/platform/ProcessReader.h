#pragma once

#include "platform/KernelFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// What /proc/<pid>/stat, status and io say about one process. Reused from process to process,
// so its strings keep their capacity.
struct ProcEntry {
  std::int32_t pid = 0;
  std::int32_t parentPID = 0;
  std::string comm;  // raw bytes between the first '(' and the last ')' of stat
  std::uint64_t userTicks = 0;
  std::uint64_t systemTicks = 0;
  std::uint64_t startTicks = 0;  // clock ticks after boot
  std::uint32_t uid = 0;         // effective; from status
  // Resident bytes as ps and top show them (statm, the figure behind status's VmRSS); stat's rss
  // until statm is read. Kernel threads and zombies have none.
  std::optional<std::uint64_t> residentBytes;
  int threads = 0;                         // stat's num_threads, as status's Threads
  bool ended = false;                      // a zombie or dead task: it has exited
  std::optional<std::uint64_t> readBytes;  // io is refused for other users' processes
  std::optional<std::uint64_t> writeBytes;
};

// Lists /proc and reads each process's files relative to its directory (openat), with one
// reused buffer: a scan allocates nothing per process once warmed up.
class ProcessReader {
 public:
  explicit ProcessReader(const KernelFiles& files);
  ProcessReader(const ProcessReader&) = delete;
  ProcessReader& operator=(const ProcessReader&) = delete;
  ~ProcessReader();

  // The numeric entries of /proc, ascending; false when /proc cannot be listed.
  bool listPIDs(std::vector<std::int32_t>& pids);
  // loadavg's last field: the pid the kernel handed out last in this pid namespace, to a
  // process or a thread. While it stands still no process can have started. Absent when
  // unreadable.
  std::optional<std::uint64_t> lastPID();
  static std::optional<std::uint64_t> parseLastPID(std::string_view text);

  // One process at a time: open its directory, read what is needed, close. Every file is
  // opened relative to the directory, so a reused pid cannot mix two processes' files.
  bool open(std::int32_t pid);
  void close();
  // stat: identity, CPU times, threads and resident memory; false when the process is gone
  // (or hidden from us).
  bool readStat(ProcEntry& entry);
  // The same without opening the process's directory first: one open instead of two, for a
  // scan that needs nothing else of most processes. Other files of the process must then be
  // read after open(), with stat read again, so they belong to the same process.
  // Within a scan (beginScan ... endScan, pids ascending) the file stays open for the next
  // scan, up to keepOpen files: reading it again costs one read and no path lookup. A kept
  // file of a process that ended reads as an error (the kernel ties it to the process, not the
  // pid), and is then opened afresh.
  bool readStat(std::int32_t pid, ProcEntry& entry);
  // schedstat's first figure: the nanoseconds the process's main thread has run. The kernel
  // formats three numbers here, a fraction of what stat costs, so a single-threaded process
  // that did not run since the last scan is known without stat. Read before stat (a run
  // between the two then shows at the next scan), through a file kept like stat's;
  // `sinceLastScan` tells whether that file was opened in an earlier scan and so belongs to the
  // process seen then. False when the process is gone, the file is refused, or the kernel keeps
  // no scheduler statistics (it then reads 0). Only within a scan.
  bool readRuntime(std::int32_t pid, std::uint64_t& nanos, bool& sinceLastScan);
  // The current pid's runtime file is of no use (its process has more threads): not kept.
  void dropRuntime();
  static bool parseRuntime(std::string_view text, std::uint64_t& nanos);
  // statm's resident pages over stat's rss: the kernel folds its per-CPU counters into stat's
  // figure lazily, so it reads low by up to a few MiB. Read right after stat, of a process stat
  // gave memory to, through a file kept like stat's within a scan; false (stat's figure stays)
  // when the file is gone or malformed.
  bool readResident(ProcEntry& entry);
  static bool parseStatm(std::string_view text, ProcEntry& entry);
  // keepOpen counts files; each process may keep three (stat, schedstat and statm).
  void beginScan(std::size_t keepOpen);
  void endScan();
  // After open() of the pid whose stat readStat(pid, ...) just read from a kept file: whether
  // that process is still alive, so the directory just opened is its own (a pid is not reused
  // while its process lives). False when it is not known; then read stat through the directory.
  bool sameProcessAsKeptStat(std::uint64_t startTicks);
  // io: absent figures when refused (other users' processes); false then.
  bool readIO(ProcEntry& entry);
  // status: the owner; false when the process is gone. The kernel builds this file at length,
  // so a scan reads it only when the owner may have changed.
  bool readStatus(ProcEntry& entry);
  // The executable's path; absent for kernel threads and when the kernel refuses it.
  std::optional<std::string> readExe();

  // All of the above for one process; false when it vanished.
  bool read(std::int32_t pid, ProcEntry& entry, std::optional<std::string>* exe = nullptr);

  static bool parseStat(std::string_view text, ProcEntry& entry);
  static bool parseStatus(std::string_view text, ProcEntry& entry);
  static bool parseIO(std::string_view text, ProcEntry& entry);

 private:
  bool readAt(int dirfd, const char* name);
  // Opens "<pid><file>" under /proc (file "" or "/name"); -1 on failure.
  int openInProc(std::int32_t pid, const char* file, int flags = 0);
  void clearFigures(ProcEntry& entry) const;

  std::string procPath_;
  KernelFile loadavg_;
  int procFd_ = -1;
  int dirFd_ = -1;
  std::int32_t pid_ = 0;
  bool readOpen(int fd);

  std::string buffer_;
  std::vector<char> listing_;
  struct Kept {
    std::int32_t pid = 0;
    int fd = -1;         // stat
    int runtimeFd = -1;  // schedstat
    int memoryFd = -1;   // statm
    bool runtimeFromLastScan = false;
  };
  // Moves to pid's kept files; those of pids passed over belong to processes that ended.
  void advanceTo(std::int32_t pid);
  // The current pid's open files go on to the next scan.
  void carryCurrent();
  static void closeKept(Kept& kept);
  bool roomToKeep() const { return 3 * (carried_.size() + 1) <= keepOpen_; }
  std::vector<Kept> kept_;     // from the last scan, by pid
  std::vector<Kept> carried_;  // kept for the next one
  Kept current_;               // the pid being read
  std::size_t cursor_ = 0;
  std::size_t keepOpen_ = 0;
  bool scanning_ = false;
  int keptStatFd_ = -1;  // the kept stat file of pid_, if any
  ProcEntry scratch_;
};

}  // namespace kivo
