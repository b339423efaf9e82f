#include "collectors/ProcessCollector.h"

#include "platform/CPUStatReader.h"

#include <QTimeZone>

#include <pwd.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace kivo {

namespace ProcessMath {

std::uint64_t nanos(std::uint64_t ticks, std::uint64_t ticksPerSecond) {
  if (ticksPerSecond == 0) return ticks;
  // Split so the product cannot overflow for any CPU time below centuries.
  return ticks / ticksPerSecond * 1'000'000'000u + ticks % ticksPerSecond * 1'000'000'000u / ticksPerSecond;
}

std::uint64_t ticksPerSecond() {
  const long hz = ::sysconf(_SC_CLK_TCK);
  return hz > 0 ? static_cast<std::uint64_t>(hz) : 100;
}

std::int64_t startMillis(std::int64_t bootTime, std::uint64_t startTicks, std::uint64_t ticksPerSecond) {
  // Cannot overflow: the boot time readBootTime gives ends at the year 9999, and the ticks part
  // is below 2^64 nanoseconds.
  return bootTime * 1000 + static_cast<std::int64_t>(nanos(startTicks, ticksPerSecond) / 1'000'000);
}

std::optional<double> cpuPercent(std::uint64_t previousNanos, std::uint64_t currentNanos, double elapsed) {
  if (!(elapsed > 0) || currentNanos < previousNanos) return std::nullopt;
  return static_cast<double>(currentNanos - previousNanos) / 1e9 / elapsed * 100.0;
}

namespace {
// Any process may name itself with line breaks or escapes; shown as they are they would forge
// lines in a table or a notification.
QString printable(QString name) {
  for (QChar& c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QChar::ReplacementCharacter;
  }
  return name;
}
}  // namespace

namespace {
// The kernel cuts names by bytes, so a full-length name can end inside a UTF-8 character;
// that piece is dropped rather than shown as a replacement character.
std::string_view withoutCutCharacter(std::string_view text) {
  for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? text.substr(0, text.size() - back) : text;
  }
  return text;
}
}  // namespace

QString displayName(std::string_view comm, const std::optional<QString>& path) {
  // TASK_COMM_LEN is 16 with the terminating NUL.
  constexpr std::size_t kCommLength = 15;
  const std::string_view whole = comm.size() == kCommLength ? withoutCutCharacter(comm) : comm;
  QString name = QString::fromUtf8(whole.data(), static_cast<qsizetype>(whole.size()));
  if (!path || (!comm.empty() && comm.size() != kCommLength)) return printable(std::move(name));
  const QString base = path->mid(path->lastIndexOf(QLatin1Char('/')) + 1);
  if (base.isEmpty()) return printable(std::move(name));
  if (comm.empty() || (base.size() > name.size() && base.startsWith(name))) return printable(base);
  return printable(std::move(name));
}

}  // namespace ProcessMath

namespace {

std::optional<std::string> systemUserName(std::uint32_t uid) {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* result = nullptr;
  if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &result) != 0 || result == nullptr ||
      result->pw_name == nullptr) {
    return std::nullopt;
  }
  return std::string(result->pw_name);
}

std::optional<QString> pathText(const std::optional<std::string>& path) {
  if (!path) return std::nullopt;
  return QString::fromUtf8(path->data(), static_cast<qsizetype>(path->size()));
}

}  // namespace

ProcessCollector::ProcessCollector(const std::string& root, UserLookup users)
    : reader_(KernelFiles(root)), lookup_(users ? std::move(users) : UserLookup(systemUserName)) {
  ticksPerSecond_ = ProcessMath::ticksPerSecond();
  // Kept-open stat files leave room for everything else the process opens.
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY) {
    keepOpen_ =
        files.rlim_cur > kReservedFiles ? static_cast<std::size_t>(files.rlim_cur - kReservedFiles) : 0;
  } else {
    keepOpen_ = kMaxKeptFiles;
  }
  keepOpen_ = std::min(keepOpen_, kMaxKeptFiles);
  bootTime_ = CPUStatReader::readBootTime(KernelFiles(root));
}

void ProcessCollector::reset() {
  previousTime_ = 0;
  // A new scan number puts every stored CPU time out of reach as a baseline.
  ++scan_;
}

const QString& ProcessCollector::userName(std::uint32_t uid) {
  auto it = users_.find(uid);
  if (it == users_.end()) {
    const auto name = lookup_(uid);
    it = users_.emplace(uid, name ? QString::fromStdString(*name) : QString::number(uid)).first;
  }
  return it->second;
}

ProcessSample ProcessCollector::sample(double now) {
  const double elapsed = previousTime_ > 0 ? now - previousTime_ : 0;
  const std::uint64_t previousScan = scan_;
  const std::uint64_t scan = ++scan_;

  ProcessSample sample;
  list(now);
  sample.processes.reserve(pids_.size());
  reader_.beginScan(keepOpen_);
  quietRecords_.clear();

  for (const std::int32_t pid : pids_) {
    // Most processes sleep, and many have one thread: their run time alone, read before stat,
    // tells that nothing else can have changed.
    std::uint64_t runtime = 0;
    bool runtimeSinceLastScan = false;
    bool haveRuntime = false;
    if (const auto it = known_.find(pid); it == known_.end() || it->second.threads == 1) {
      haveRuntime = reader_.readRuntime(pid, runtime, runtimeSinceLastScan);
      if (it != known_.end() && haveRuntime &&
          quiet(it->second, previousScan, now, runtime, runtimeSinceLastScan)) {
        quietRecords_.push_back(sample.processes.size());
        appendRecord(sample, pid, it->second, it->second.cpuNanos, previousScan, scan, elapsed);
        continue;
      }
    } else {
      reader_.dropRuntime();
    }
    // Gone between the listing and the read, or hidden from us: skipped.
    if (!reader_.readStat(pid, entry_)) continue;
    auto found = known_.end();
    bool fresh = false;
    bool renamed = false;
    bool due = false;
    bool ran = false;
    std::uint64_t cpuNanos = 0;
    const auto decide = [&] {
      cpuNanos = ProcessMath::nanos(entry_.userTicks + entry_.systemTicks, ticksPerSecond_);
      found = known_.find(pid);
      fresh = found == known_.end() || found->second.start != entry_.startTicks;
      renamed = !fresh && found->second.comm != entry_.comm;
      // The owner can change only through an exec (which renames) or a set*id call; the
      // refresh catches the latter.
      due = fresh || renamed || !(now - found->second.refreshed < kRefresh) || now < found->second.refreshed;
      // I/O counters move only while the process runs.
      ran = fresh || cpuNanos != found->second.cpuNanos;
      return due || (ran && !found->second.ioRefused);
    };
    // Most processes sleep: stat alone tells all that can have changed. The others are read
    // through their directory, stat again first, so every file is of the same process.
    if (decide()) {
      bool alive = reader_.open(pid);
      // The kept stat file still reading the same process proves the directory is its own;
      // else stat is read again through the directory.
      if (alive && !reader_.sameProcessAsKeptStat(entry_.startTicks)) {
        alive = reader_.readStat(entry_);
        if (alive) decide();
      }
      if (alive) alive = !due || reader_.readStatus(entry_);
      if (!alive) {
        reader_.close();
        continue;
      }
    }
    if (fresh) {
      // New process, or a reused pid: nothing of the old one carries over.
      Known created;
      created.start = entry_.startTicks;
      created.comm = entry_.comm;
      created.path = pathText(reader_.readExe());
      created.name = ProcessMath::displayName(entry_.comm, created.path);
      if (bootTime_) {
        created.startTime = QDateTime::fromMSecsSinceEpoch(
            ProcessMath::startMillis(*bootTime_, entry_.startTicks, ticksPerSecond_), QTimeZone::utc());
      }
      created.cpuNanos = cpuNanos;
      found = known_.insert_or_assign(pid, std::move(created)).first;
    } else if (renamed) {
      // The path is read once per process, and again after an exec (which renames it): a child
      // first seen between fork and exec must not keep its parent's executable.
      Known& known = found->second;
      known.comm = entry_.comm;
      known.path = pathText(reader_.readExe());
      known.name = ProcessMath::displayName(entry_.comm, known.path);
    }
    Known& known = found->second;
    if ((due || ran) && !known.ioRefused) {
      if (reader_.readIO(entry_)) {
        known.readBytes = entry_.readBytes;
        known.writeBytes = entry_.writeBytes;
      } else {
        known.ioRefused = true;
        known.readBytes.reset();
        known.writeBytes.reset();
      }
    }
    if (due) {
      known.uid = entry_.uid;
      known.refreshed = now;
    }
    reader_.readResident(entry_);
    reader_.close();
    known.parentPID = entry_.parentPID;
    known.threads = entry_.threads;
    known.residentBytes = entry_.residentBytes;
    known.ended = entry_.ended;
    known.runtime = haveRuntime && entry_.threads == 1 ? runtime : 0;
    if (entry_.threads != 1) reader_.dropRuntime();
    appendRecord(sample, pid, known, cpuNanos, previousScan, scan, elapsed);
  }

  reader_.endScan();

  // The processes that ended, or hide from us, are not read again until the next listing.
  std::size_t live = 0;
  std::size_t record = 0;
  for (const std::int32_t pid : pids_) {
    while (record < sample.processes.size() && sample.processes[record].pid < pid) ++record;
    if (record < sample.processes.size() && sample.processes[record].pid == pid) pids_[live++] = pid;
  }
  pids_.resize(live);

  // A parent that exited hands its children to another without them running: a quiet process
  // whose parent is gone, or ended, has its parent read again.
  for (const std::size_t index : quietRecords_) {
    ProcessRecord& record = sample.processes[index];
    if (record.parentPID == 0) continue;
    const auto parent = known_.find(record.parentPID);
    if (parent != known_.end() && parent->second.lastScan == scan && !parent->second.ended) continue;
    Known& known = known_[record.pid];
    known.runtime = 0;  // read in full at the next scan
    if (reader_.open(record.pid) && reader_.readStat(entry_) && entry_.startTicks == known.start) {
      known.parentPID = entry_.parentPID;
      record.parentPID = entry_.parentPID;
    }
    reader_.close();
  }

  // Forget processes that ended once the cache has grown past twice the live ones.
  if (known_.size() > 2 * pids_.size())
    std::erase_if(known_, [&](const auto& item) { return item.second.lastScan != scan; });

  sample.total = static_cast<int>(sample.processes.size());
  sample.interval = elapsed;
  previousTime_ = now;
  return sample;
}

void ProcessCollector::list(double now) {
  const std::optional<std::uint64_t> lastPID = lastPIDHolds_ ? reader_.lastPID() : std::nullopt;
  const bool noneStarted = lastPID && listedLastPID_ && *lastPID == *listedLastPID_;
  if (noneStarted && now - listedAt_ < kRefresh && now >= listedAt_) return;
  previousListing_.swap(listed_);
  if (!reader_.listPIDs(listed_)) {
    // Tried again at the next scan.
    listedLastPID_.reset();
    pids_.clear();
    return;
  }
  // Both listings ascend: a pid in this one that the last lacked is a process that started.
  if (noneStarted &&
      !std::includes(previousListing_.begin(), previousListing_.end(), listed_.begin(), listed_.end()) &&
      reader_.lastPID() == lastPID) {
    lastPIDHolds_ = false;
  }
  listedLastPID_ = lastPID;
  listedAt_ = now;
  pids_ = listed_;
}

bool ProcessCollector::quiet(const Known& known, std::uint64_t previousScan, double now,
                             std::uint64_t runtime, bool runtimeSinceLastScan) const {
  // The runtime file opened in an earlier scan proves the process is the one seen then.
  if (!runtimeSinceLastScan || known.runtime == 0 || runtime != known.runtime || known.threads != 1)
    return false;
  if (previousScan == 0 || known.lastScan != previousScan) return false;
  return now - known.refreshed < kRefresh && now >= known.refreshed;
}

void ProcessCollector::appendRecord(ProcessSample& sample, std::int32_t pid, Known& known,
                                    std::uint64_t cpuNanos, std::uint64_t previousScan, std::uint64_t scan,
                                    double elapsed) {
  ProcessRecord record;
  record.pid = pid;
  record.parentPID = known.parentPID;
  record.name = known.name;
  record.uid = known.uid;
  record.user = userName(known.uid);
  record.startTime = known.startTime;
  record.path = known.path;
  record.hasStatistics = true;
  record.cpuTime = static_cast<double>(cpuNanos) / 1e9;
  if (known.lastScan == previousScan && previousScan != 0) {
    record.cpuPercent = ProcessMath::cpuPercent(known.cpuNanos, cpuNanos, elapsed);
    // The scan's time base is the tick's, not the moment each process was read, so a busy
    // process can seem to run a little more than its threads could: bound it by them.
    if (record.cpuPercent && known.threads > 0) {
      record.cpuPercent = std::min(*record.cpuPercent, known.threads * 100.0);
    }
  }
  known.cpuNanos = cpuNanos;
  known.lastScan = scan;
  record.memory = known.residentBytes;
  record.threads = known.threads;
  record.ended = known.ended;
  record.diskRead = known.readBytes;
  record.diskWritten = known.writeBytes;
  if (!record.diskRead || !record.diskWritten) ++sample.restricted;
  sample.processes.push_back(std::move(record));
}

std::optional<SelfUsage> ProcessCollector::selfUsage() {
  timespec cpu{};
  if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu) != 0) return std::nullopt;
  // Kept open per thread: the engine asks on every tick.
  thread_local KernelFile status("/proc/self/status");
  thread_local KernelFile io("/proc/self/io");
  thread_local std::string buffer;
  if (!status.read(buffer)) return std::nullopt;
  const auto resident = KernelText::tableNumber(buffer, "VmRSS");
  if (!resident) return std::nullopt;
  SelfUsage usage;
  usage.cpuNanos =
      static_cast<std::uint64_t>(cpu.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(cpu.tv_nsec);
  usage.footprint = *resident;
  if (io.read(buffer)) usage.diskWritten = KernelText::tableNumber(buffer, "write_bytes");
  return usage;
}

}  // namespace kivo
