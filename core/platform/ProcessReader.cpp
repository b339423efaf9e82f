#include "platform/ProcessReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

namespace kivo {

namespace {

std::optional<std::int32_t> parsePID(const char* name) {
  std::int64_t value = 0;
  if (*name == '\0') return std::nullopt;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    value = value * 10 + (*c - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  if (value <= 0) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

ProcessReader::ProcessReader(const KernelFiles& files)
    : procPath_(files.path("/proc")), loadavg_(files.path("/proc/loadavg")) {}

ProcessReader::~ProcessReader() {
  close();
  for (Kept& kept : kept_) closeKept(kept);
  for (Kept& kept : carried_) closeKept(kept);
  closeKept(current_);
  if (procFd_ >= 0) ::close(procFd_);
}

std::optional<std::uint64_t> ProcessReader::lastPID() {
  if (!loadavg_.read(buffer_)) return std::nullopt;
  return parseLastPID(buffer_);
}

std::optional<std::uint64_t> ProcessReader::parseLastPID(std::string_view text) {
  // "0.20 0.18 0.12 1/80 11206": five fields, the fourth running/total.
  std::string_view token;
  std::string_view last;
  int fields = 0;
  while (KernelText::nextToken(text, token)) {
    last = token;
    ++fields;
  }
  if (fields != 5) return std::nullopt;
  return KernelText::parseUInt(last);
}

bool ProcessReader::listPIDs(std::vector<std::int32_t>& pids) {
  pids.clear();
  if (procFd_ < 0) procFd_ = ::open(procPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procFd_ < 0) return false;
  // The descriptor stays open; rewinding it gives a fresh listing.
  if (::lseek(procFd_, 0, SEEK_SET) < 0) {
    ::close(procFd_);
    procFd_ = -1;
    return false;
  }
  if (listing_.size() < 32768) listing_.resize(32768);
  for (;;) {
    const ssize_t n = ::getdents64(procFd_, listing_.data(), listing_.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      pids.clear();
      return false;
    }
    if (n == 0) break;
    for (ssize_t offset = 0; offset < n;) {
      const auto* entry = reinterpret_cast<const dirent64*>(listing_.data() + offset);
      offset += entry->d_reclen;
      if (entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) continue;
      if (const auto pid = parsePID(entry->d_name)) pids.push_back(*pid);
    }
  }
  // procfs lists in ascending order already; other file systems (test trees) may not.
  if (!std::is_sorted(pids.begin(), pids.end())) std::sort(pids.begin(), pids.end());
  return true;
}

bool ProcessReader::readAt(int dirfd, const char* name) {
  const int fd = ::openat(dirfd, name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    buffer_.clear();
    return false;
  }
  const bool ok = readOpen(fd);
  ::close(fd);
  return ok;
}

bool ProcessReader::readOpen(int fd) {
  // stat, status and io are single records: a read that returns less than asked has it all,
  // which saves the second read that would only find the end.
  constexpr std::size_t kFirstRead = 4096;
  if (buffer_.size() < kFirstRead) buffer_.resize(kFirstRead);
  ssize_t n;
  do {
    n = ::pread(fd, buffer_.data(), kFirstRead, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    buffer_.clear();
    return false;
  }
  if (static_cast<std::size_t>(n) < kFirstRead) {
    buffer_.resize(static_cast<std::size_t>(n));
    return true;
  }
  return KernelFiles::readDescriptor(fd, buffer_);
}

void ProcessReader::clearFigures(ProcEntry& entry) const {
  entry.pid = pid_;
  entry.residentBytes.reset();
  entry.threads = 0;
  entry.ended = false;
  entry.readBytes.reset();
  entry.writeBytes.reset();
}

int ProcessReader::openInProc(std::int32_t pid, const char* file, int flags) {
  if (procFd_ < 0) procFd_ = ::open(procPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procFd_ < 0) return -1;
  char name[32];
  const auto [end, ec] = std::to_chars(name, name + 16, pid);
  if (ec != std::errc()) return -1;
  const std::size_t length = std::strlen(file);
  if (length > 15) return -1;
  std::memcpy(end, file, length + 1);
  return ::openat(procFd_, name, flags | O_RDONLY | O_CLOEXEC);
}

bool ProcessReader::open(std::int32_t pid) {
  close();
  dirFd_ = openInProc(pid, "", O_DIRECTORY);
  pid_ = pid;
  return dirFd_ >= 0;
}

void ProcessReader::close() {
  if (dirFd_ >= 0) ::close(dirFd_);
  dirFd_ = -1;
}

bool ProcessReader::readStat(ProcEntry& entry) {
  clearFigures(entry);
  return dirFd_ >= 0 && readAt(dirFd_, "stat") && parseStat(buffer_, entry);
}

void ProcessReader::closeKept(Kept& kept) {
  if (kept.fd >= 0) ::close(kept.fd);
  if (kept.runtimeFd >= 0) ::close(kept.runtimeFd);
  if (kept.memoryFd >= 0) ::close(kept.memoryFd);
  kept = Kept{};
}

void ProcessReader::carryCurrent() {
  if (current_.fd >= 0 || current_.runtimeFd >= 0 || current_.memoryFd >= 0) carried_.push_back(current_);
  current_ = Kept{};
}

void ProcessReader::advanceTo(std::int32_t pid) {
  if (current_.pid == pid) return;
  carryCurrent();
  while (cursor_ < kept_.size() && kept_[cursor_].pid < pid) closeKept(kept_[cursor_++]);
  if (cursor_ < kept_.size() && kept_[cursor_].pid == pid) {
    current_ = kept_[cursor_++];
    current_.runtimeFromLastScan = current_.runtimeFd >= 0;
  } else {
    current_.pid = pid;
  }
}

bool ProcessReader::readRuntime(std::int32_t pid, std::uint64_t& nanos, bool& sinceLastScan) {
  sinceLastScan = false;
  if (!scanning_) return false;
  advanceTo(pid);
  if (current_.runtimeFd >= 0) {
    if (readOpen(current_.runtimeFd) && parseRuntime(buffer_, nanos)) {
      sinceLastScan = current_.runtimeFromLastScan;
      return true;
    }
    // The process ended (the pid may be another's now), or the kernel refuses: start afresh.
    ::close(current_.runtimeFd);
    current_.runtimeFd = -1;
    current_.runtimeFromLastScan = false;
  }
  if (current_.fd < 0 && !roomToKeep()) return false;
  const int fd = openInProc(pid, "/schedstat");
  if (fd < 0) return false;
  if (!readOpen(fd) || !parseRuntime(buffer_, nanos)) {
    ::close(fd);
    return false;
  }
  current_.runtimeFd = fd;
  return true;
}

void ProcessReader::dropRuntime() {
  if (current_.runtimeFd >= 0) ::close(current_.runtimeFd);
  current_.runtimeFd = -1;
  current_.runtimeFromLastScan = false;
}

bool ProcessReader::parseRuntime(std::string_view text, std::uint64_t& nanos) {
  const char* first = text.data();
  const char* last = first + text.size();
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end == last || (*end != ' ' && *end != '\n')) return false;
  // A kernel without scheduler statistics reads "0 0 0": no figure at all.
  if (value == 0) return false;
  nanos = value;
  return true;
}

bool ProcessReader::readStat(std::int32_t pid, ProcEntry& entry) {
  close();
  pid_ = pid;
  keptStatFd_ = -1;
  clearFigures(entry);
  if (scanning_) {
    advanceTo(pid);
    if (current_.fd >= 0) {
      if (readOpen(current_.fd) && parseStat(buffer_, entry)) {
        keptStatFd_ = current_.fd;
        return true;
      }
      // The process ended; the pid may be another's now.
      ::close(current_.fd);
      current_.fd = -1;
    }
  }
  const int fd = openInProc(pid, "/stat");
  if (fd < 0) {
    buffer_.clear();
    if (scanning_) {  // gone: nothing of it is kept
      dropRuntime();
      if (current_.memoryFd >= 0) ::close(current_.memoryFd);
      current_.memoryFd = -1;
    }
    return false;
  }
  const bool ok = readOpen(fd) && parseStat(buffer_, entry);
  if (ok && scanning_ && (current_.runtimeFd >= 0 || roomToKeep())) {
    current_.fd = fd;
    keptStatFd_ = fd;
  } else {
    ::close(fd);
    if (!ok && scanning_) dropRuntime();
  }
  return ok;
}

bool ProcessReader::readResident(ProcEntry& entry) {
  if (!entry.residentBytes) return false;  // a kernel thread or a zombie
  if (scanning_ && current_.pid == pid_ && current_.memoryFd >= 0) {
    if (readOpen(current_.memoryFd) && parseStatm(buffer_, entry)) return true;
    // Of a process that ended: the pid may be another's now.
    ::close(current_.memoryFd);
    current_.memoryFd = -1;
  }
  const int fd = dirFd_ >= 0 ? ::openat(dirFd_, "statm", O_RDONLY | O_CLOEXEC) : openInProc(pid_, "/statm");
  if (fd < 0) return false;
  const bool ok = readOpen(fd) && parseStatm(buffer_, entry);
  if (ok && scanning_ && current_.pid == pid_ && current_.fd >= 0) {
    current_.memoryFd = fd;
  } else {
    ::close(fd);
  }
  return ok;
}

bool ProcessReader::parseStatm(std::string_view text, ProcEntry& entry) {
  // "size resident shared text lib data dt", in pages.
  static const std::uint64_t pageSize = [] {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096u;
  }();
  std::string_view token;
  if (!KernelText::nextToken(text, token) || !KernelText::parseUInt(token)) return false;
  if (!KernelText::nextToken(text, token)) return false;
  const auto pages = KernelText::parseUInt(token);
  if (!pages || *pages > UINT64_MAX / pageSize) return false;
  entry.residentBytes = *pages * pageSize;
  return true;
}

bool ProcessReader::sameProcessAsKeptStat(std::uint64_t startTicks) {
  if (keptStatFd_ < 0 || dirFd_ < 0) return false;
  return readOpen(keptStatFd_) && parseStat(buffer_, scratch_) && scratch_.startTicks == startTicks;
}

void ProcessReader::beginScan(std::size_t keepOpen) {
  keepOpen_ = keepOpen;
  cursor_ = 0;
  carried_.clear();
  current_ = Kept{};
  scanning_ = true;
}

void ProcessReader::endScan() {
  carryCurrent();
  while (cursor_ < kept_.size()) closeKept(kept_[cursor_++]);
  kept_.swap(carried_);
  carried_.clear();
  cursor_ = 0;
  scanning_ = false;
}

bool ProcessReader::readIO(ProcEntry& entry) {
  return dirFd_ >= 0 && readAt(dirFd_, "io") && parseIO(buffer_, entry);
}

bool ProcessReader::readStatus(ProcEntry& entry) {
  return dirFd_ >= 0 && readAt(dirFd_, "status") && parseStatus(buffer_, entry);
}

std::optional<std::string> ProcessReader::readExe() {
  if (dirFd_ < 0) return std::nullopt;
  char path[PATH_MAX];
  const ssize_t n = ::readlinkat(dirFd_, "exe", path, sizeof path);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof path) return std::nullopt;
  std::string_view target(path, static_cast<std::size_t>(n));
  // An executable replaced or removed since the start (a package upgrade) reads as
  // "<path> (deleted)": the path is the part before the kernel's note.
  constexpr std::string_view kDeleted = " (deleted)";
  if (target.size() > kDeleted.size() && target.ends_with(kDeleted)) target.remove_suffix(kDeleted.size());
  return std::string(target);
}

bool ProcessReader::read(std::int32_t pid, ProcEntry& entry, std::optional<std::string>* exe) {
  bool ok = open(pid) && readStat(entry);
  if (ok) {
    readResident(entry);
    readIO(entry);
  }
  ok = ok && readStatus(entry);
  if (ok && exe != nullptr) *exe = readExe();
  close();
  return ok;
}

bool ProcessReader::parseStat(std::string_view text, ProcEntry& entry) {
  // "pid (comm) state ppid ...": comm may hold blanks, parentheses and newlines, and ends at
  // the last ')'.
  const auto open = text.find('(');
  const auto close = text.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
  entry.comm.assign(text.substr(open + 1, close - open - 1));
  std::string_view rest = text.substr(close + 1);
  std::string_view token;
  // Fields after comm, numbered as in proc(5): 3 state, 4 ppid, 9 flags, 14 utime, 15 stime,
  // 20 num_threads, 22 starttime, 24 rss (pages).
  constexpr std::uint64_t kKernelThread = 0x00200000;  // PF_KTHREAD
  static const std::uint64_t pageSize = [] {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096u;
  }();
  bool noMemory = false;
  unsigned seen = 0;  // one bit per required field
  for (int field = 3; field <= 24 && KernelText::nextToken(rest, token); ++field) {
    switch (field) {
      case 3:
        // Zombies and dead tasks have released their memory.
        noMemory = token == "Z" || token == "X";
        entry.ended = noMemory;
        break;
      case 4: {
        const auto value = KernelText::parseInt(token);
        if (!value || *value < 0 || *value > INT32_MAX) return false;
        entry.parentPID = static_cast<std::int32_t>(*value);
        seen |= 1u;
        break;
      }
      case 9: {
        const auto value = KernelText::parseUInt(token);
        if (!value) return false;
        noMemory = noMemory || (*value & kKernelThread) != 0;
        break;
      }
      case 14:
      case 15: {
        const auto value = KernelText::parseUInt(token);
        if (!value) return false;
        (field == 14 ? entry.userTicks : entry.systemTicks) = *value;
        seen |= field == 14 ? 2u : 4u;
        break;
      }
      case 20: {
        const auto value = KernelText::parseInt(token);
        entry.threads = value && *value >= 0 && *value <= INT32_MAX ? static_cast<int>(*value) : 0;
        break;
      }
      case 22: {
        const auto value = KernelText::parseUInt(token);
        if (!value) return false;
        entry.startTicks = *value;
        seen |= 8u;
        break;
      }
      case 24: {
        const auto pages = KernelText::parseUInt(token);
        if (pages && !noMemory && *pages <= UINT64_MAX / pageSize) entry.residentBytes = *pages * pageSize;
        break;
      }
      default:
        break;
    }
  }
  return seen == 15u;
}

bool ProcessReader::parseStatus(std::string_view text, ProcEntry& entry) {
  // The Name line escapes newlines, so every line here starts with its own key.
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    if (!line.starts_with("Uid:")) continue;
    std::string_view rest = line.substr(4);
    std::string_view real;
    std::string_view effective;
    if (!KernelText::nextToken(rest, real) || !KernelText::nextToken(rest, effective)) return false;
    const auto uid = KernelText::parseUInt(effective);
    if (!uid || *uid > UINT32_MAX) return false;
    entry.uid = static_cast<std::uint32_t>(*uid);
    return true;
  }
  return false;
}

bool ProcessReader::parseIO(std::string_view text, ProcEntry& entry) {
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    if (line.starts_with("read_bytes:")) {
      entry.readBytes = KernelText::parseUInt(line.substr(11));
    } else if (line.starts_with("write_bytes:")) {
      entry.writeBytes = KernelText::parseUInt(line.substr(12));
    }
  }
  return entry.readBytes.has_value() && entry.writeBytes.has_value();
}

}  // namespace kivo
