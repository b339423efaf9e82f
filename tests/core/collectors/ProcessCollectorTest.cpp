#include "collectors/ProcessCollector.h"
#include "platform/ProcessReader.h"

#include "StepRoot.h"
#include "TestSupport.h"

#include <QTimeZone>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

using namespace kivo;

namespace {

std::optional<std::string> fakeUsers(std::uint32_t uid) {
  if (uid == 0) return "root";
  if (uid == 1000) return "ada";
  return std::nullopt;
}

std::map<std::int32_t, ProcessRecord> byPID(const ProcessSample& sample) {
  std::map<std::int32_t, ProcessRecord> map;
  for (const auto& record : sample.processes) map.emplace(record.pid, record);
  return map;
}

double hz() {
  return static_cast<double>(::sysconf(_SC_CLK_TCK));
}

}  // namespace

TEST(ProcessCollector, ReadsEveryKindOfProcessInTheFixture) {
  test::StepRoot root("processes");
  root.apply("1");
  ProcessCollector collector(root.root(), fakeUsers);
  const ProcessSample sample = collector.sample(100.0);

  std::vector<std::int32_t> pids;
  for (const auto& record : sample.processes) pids.push_back(record.pid);
  // 400 vanished before its stat was read, 401 before its status: both skipped. "42" is a
  // file and "sys" is not a number.
  EXPECT_EQ(pids, (std::vector<std::int32_t>{1, 100, 200, 201, 300, 500, 600, 700}));
  EXPECT_EQ(sample.total, 8);
  EXPECT_EQ(sample.restricted, 2) << "300 and the kernel thread have no readable io";
  EXPECT_EQ(sample.interval, 0.0);

  auto records = byPID(sample);
  const ProcessRecord& init = records[1];
  EXPECT_EQ(init.name, QStringLiteral("systemd"));
  EXPECT_EQ(init.parentPID, 0);
  EXPECT_EQ(init.uid, 0u);
  EXPECT_EQ(init.user, QStringLiteral("root"));
  EXPECT_EQ(init.path, QStringLiteral("/opt/fixture/sbin/init"));
  ASSERT_TRUE(init.startTime);
  EXPECT_EQ(init.startTime->toMSecsSinceEpoch(), 1700000000000 + static_cast<qint64>(5 * 1000 / hz()))
      << "btime + starttime ticks";
  EXPECT_TRUE(init.hasStatistics);
  EXPECT_DOUBLE_EQ(init.cpuTime, 150 / hz());
  EXPECT_EQ(init.memory, 12000u * 1024);
  EXPECT_EQ(init.threads, 1);
  EXPECT_EQ(init.diskRead, 1000u);
  EXPECT_EQ(init.diskWritten, 2000u);
  EXPECT_FALSE(init.power) << "Linux has no per-process energy";

  for (const auto& record : sample.processes) EXPECT_FALSE(record.cpuPercent) << "first sample: no baseline";

  EXPECT_EQ(records[100].name, QStringLiteral("a) (b\uFFFDc"))
      << "comm ends at the last ')'; no line break shown";
  EXPECT_EQ(records[100].parentPID, 1);
  EXPECT_EQ(records[100].threads, 8);
  EXPECT_EQ(records[100].user, QStringLiteral("ada"));

  EXPECT_EQ(records[200].name, QStringLiteral("gnome-shell-calendar-server")) << "15-byte name completed";
  EXPECT_EQ(records[201].name, QStringLiteral("abcdefghijklmno")) << "executable does not start with it";

  const ProcessRecord& other = records[300];
  EXPECT_FALSE(other.diskRead) << "refused io is absent, not 0";
  EXPECT_FALSE(other.diskWritten);
  EXPECT_FALSE(other.path);
  EXPECT_EQ(other.user, QStringLiteral("1001")) << "no user entry: the uid in decimal";
  EXPECT_TRUE(other.hasStatistics);

  const ProcessRecord& kernelThread = records[500];
  EXPECT_EQ(kernelThread.name, QStringLiteral("kworker/0:1-events"));
  EXPECT_FALSE(kernelThread.memory) << "a kernel thread has no VmRSS";
  EXPECT_FALSE(kernelThread.path);
  EXPECT_EQ(kernelThread.parentPID, 2);

  EXPECT_TRUE(records[700].name.contains(QChar(0xFFFD))) << "invalid UTF-8 is repaired, not dropped";
  EXPECT_TRUE(records[700].name.endsWith(QStringLiteral(" bin")));
}

TEST(ProcessCollector, MeasuresCPUBetweenScansAndStartsOverOnPIDReuse) {
  test::StepRoot root("processes");
  root.apply("1");
  ProcessCollector collector(root.root(), fakeUsers);
  collector.sample(100.0);

  root.apply("2");
  root.remove("proc/300");  // ended
  const ProcessSample sample = collector.sample(105.0);
  EXPECT_DOUBLE_EQ(sample.interval, 5.0);
  auto records = byPID(sample);
  EXPECT_FALSE(records.count(300));
  EXPECT_EQ(sample.total, 7);
  EXPECT_EQ(sample.restricted, 1);

  ASSERT_TRUE(records[1].cpuPercent);
  EXPECT_NEAR(*records[1].cpuPercent, 250 / hz() / 5 * 100, 1e-9) << "2.5 s of CPU in 5 s at 100 Hz: 50 %";
  ASSERT_TRUE(records[100].cpuPercent);
  EXPECT_NEAR(*records[100].cpuPercent, 1500 / hz() / 5 * 100, 1e-9) << "three busy cores: no cap at 100";
  EXPECT_EQ(records[200].cpuPercent, 0.0) << "no CPU used: a measured 0";
  EXPECT_EQ(records[1].path, QStringLiteral("/opt/fixture/sbin/init"));

  const ProcessRecord& reused = records[600];
  EXPECT_FALSE(reused.cpuPercent) << "a new process behind a reused pid has no baseline";
  EXPECT_EQ(reused.name, QStringLiteral("new"));
  EXPECT_EQ(reused.path, QStringLiteral("/usr/bin/new"));
  EXPECT_DOUBLE_EQ(reused.cpuTime, 30 / hz());

  collector.reset();
  const ProcessSample afterReset = collector.sample(110.0);
  EXPECT_EQ(afterReset.interval, 0.0);
  for (const auto& record : afterReset.processes) EXPECT_FALSE(record.cpuPercent) << record.pid;
  const ProcessSample next = collector.sample(115.0);
  EXPECT_EQ(byPID(next)[1].cpuPercent, 0.0);
}

// Processes are read one after another while the interval is the tick's: a process read
// late in one scan and early in the next seems to run longer than the interval.
TEST(ProcessCollector, CPUIsBoundByTheThreadsThatCouldRun) {
  test::StepRoot root("processes");
  root.apply("1");
  ProcessCollector collector(root.root(), fakeUsers);
  collector.sample(100.0);
  root.apply("2");
  auto records = byPID(collector.sample(102.4));
  ASSERT_TRUE(records[1].cpuPercent);
  EXPECT_EQ(*records[1].cpuPercent, 100.0) << "2.5 s of CPU in 2.4 s on its one thread";
  ASSERT_TRUE(records[100].cpuPercent);
  EXPECT_NEAR(*records[100].cpuPercent, 1500 / hz() / 2.4 * 100, 1e-9) << "eight threads: not bound";
}

TEST(ProcessCollector, AnExecRenamesTheProcessAndRereadsItsPath) {
  test::StepRoot root("processes");
  root.apply("1");
  ProcessCollector collector(root.root(), fakeUsers);
  EXPECT_EQ(byPID(collector.sample(1.0))[600].path, QStringLiteral("/usr/bin/old"));
  // Same pid and start time, new program: what a fork seen before its exec looks like later.
  std::ifstream in(root.path("proc/600/stat"));
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  stat.replace(stat.find("(old)"), 5, "(python3)");
  root.write("proc/600/stat", stat);
  std::filesystem::remove(root.path("proc/600/exe"));
  std::filesystem::create_symlink("/usr/bin/python3.11", root.path("proc/600/exe"));
  const auto record = byPID(collector.sample(2.0))[600];
  EXPECT_EQ(record.name, QStringLiteral("python3"));
  EXPECT_EQ(record.path, QStringLiteral("/usr/bin/python3.11"));
  EXPECT_TRUE(record.cpuPercent) << "still the same process";
}

TEST(ProcessCollector, AReplacedExecutableKeepsItsPathAndName) {
  // After a package upgrade the kernel shows the running program's old file as "<path> (deleted)".
  test::StepRoot root("processes");
  root.apply("1");
  std::ifstream in(root.path("proc/600/stat"));
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  stat.replace(stat.find("(old)"), 5, "(gnome-shell-cal)");
  root.write("proc/600/stat", stat);
  std::filesystem::remove(root.path("proc/600/exe"));
  std::filesystem::create_symlink("/usr/libexec/gnome-shell-calendar-server (deleted)",
                                  root.path("proc/600/exe"));
  ProcessCollector collector(root.root(), fakeUsers);
  const auto record = byPID(collector.sample(1.0))[600];
  EXPECT_EQ(record.path, QStringLiteral("/usr/libexec/gnome-shell-calendar-server"));
  EXPECT_EQ(record.name, QStringLiteral("gnome-shell-calendar-server"));
}

TEST(ProcessCollector, NoProcFolderGivesAnEmptySample) {
  ProcessCollector collector(test::fixture("nothing-here"), fakeUsers);
  const ProcessSample sample = collector.sample(1.0);
  EXPECT_TRUE(sample.processes.empty());
  EXPECT_EQ(sample.total, 0);
  EXPECT_EQ(sample.restricted, 0);
}

TEST(ProcessReader, HostileStatLines) {
  struct Case {
    std::string text;
    bool ok;
    std::string comm;
  };
  const std::string tail = " S 7 1 1 0 -1 0 0 0 0 0 11 22 0 0 20 0 3 0 99 0 0\n";
  const Case cases[] = {
      {"5 (a) (b\nc)" + tail, true, "a) (b\nc"},
      {"5 ())))" + tail, true, ")))"},
      {"5 ()" + tail, true, ""},
      {"5 (x y  z)" + tail, true, "x y  z"},
      {"5 (\xff\xfe)" + tail, true, "\xff\xfe"},
      {"5 (cut off", false, ""},
      {"5 (short) S 7 1 1\n", false, ""},
      {"5 (bad) S -7 1 1 0 -1 0 0 0 0 0 11 22 0 0 20 0 3 0 99 0 0\n", false, ""},
      {"5 (bad) S 7 1 1 0 -1 0 0 0 0 0 x 22 0 0 20 0 3 0 99 0 0\n", false, ""},
  };
  for (const auto& c : cases) {
    ProcEntry entry;
    EXPECT_EQ(ProcessReader::parseStat(c.text, entry), c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_EQ(entry.comm, c.comm);
    EXPECT_EQ(entry.parentPID, 7);
    EXPECT_EQ(entry.userTicks, 11u);
    EXPECT_EQ(entry.systemTicks, 22u);
    EXPECT_EQ(entry.startTicks, 99u);
  }
  // schedstat: the run time is the first figure; "0 0 0" is a kernel that keeps none.
  const std::pair<std::string_view, std::optional<std::uint64_t>> runtimes[] = {
      {"123456 789 10\n", 123456u}, {"0 0 0\n", std::nullopt},  {"", std::nullopt},
      {"12x 1 1\n", std::nullopt},  {"-5 1 1\n", std::nullopt}, {"18446744073709551616 1 1\n", std::nullopt},
  };
  for (const auto& [text, expected] : runtimes) {
    std::uint64_t nanos = 0;
    EXPECT_EQ(ProcessReader::parseRuntime(text, nanos), expected.has_value()) << text;
    if (expected) {
      EXPECT_EQ(nanos, *expected);
    }
  }
  // loadavg: the last pid handed out is its fifth field.
  const std::pair<std::string_view, std::optional<std::uint64_t>> loadavgs[] = {
      {"0.20 0.18 0.12 1/80 11206\n", 11206u},
      {"0.20 0.18 0.12 1/80\n", std::nullopt},
      {"0.20 0.18 0.12 1/80 11206 7\n", std::nullopt},
      {"0.20 0.18 0.12 1/80 -1\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, expected] : loadavgs)
    EXPECT_EQ(ProcessReader::parseLastPID(text), expected) << text;
  ProcEntry entry;
  EXPECT_FALSE(ProcessReader::parseStatus("Name:\tx\nThreads:\t3\n", entry)) << "no Uid line";
  EXPECT_TRUE(ProcessReader::parseStatus("Uid:\t1\t2\t3\t4\nThreads:\t3\n", entry));
  EXPECT_EQ(entry.uid, 2u) << "the effective uid";
  EXPECT_FALSE(entry.residentBytes);
}

TEST(ProcessMath, ConversionsAndNames) {
  EXPECT_EQ(ProcessMath::cpuPercent(0, 2'500'000'000, 5.0), 50.0);
  EXPECT_EQ(ProcessMath::cpuPercent(1'000'000'000, 16'000'000'000, 5.0), 300.0);
  EXPECT_FALSE(ProcessMath::cpuPercent(2, 1, 5.0));
  EXPECT_FALSE(ProcessMath::cpuPercent(0, 1, 0.0));
  EXPECT_EQ(ProcessMath::nanos(250, 100), 2'500'000'000u);
  EXPECT_EQ(ProcessMath::nanos(UINT64_MAX / 1000, 100),
            UINT64_MAX / 1000 / 100 * 1'000'000'000u + UINT64_MAX / 1000 % 100 * 10'000'000u);

  struct Case {
    std::string comm;
    std::optional<QString> path;
    QString name;
  };
  const Case cases[] = {
      {"gnome-shell-cal", QStringLiteral("/usr/libexec/gnome-shell-calendar-server"),
       QStringLiteral("gnome-shell-calendar-server")},
      {"gnome-shell-cal", std::nullopt, QStringLiteral("gnome-shell-cal")},
      {"Web Content", QStringLiteral("/usr/lib/firefox/firefox"), QStringLiteral("Web Content")},
      {"", QStringLiteral("/usr/bin/thing"), QStringLiteral("thing")},
      {"abcdefghijklmno", QStringLiteral("/opt/abcdefghijklmno"), QStringLiteral("abcdefghijklmno")},
      // Control characters would break the line a name is shown on; invalid UTF-8 is repaired.
      {"evil\nroot) R 1", std::nullopt, QStringLiteral("evil\uFFFDroot) R 1")},
      {"tab\tesc\x1b[2J", std::nullopt, QStringLiteral("tab\uFFFDesc\uFFFD[2J")},
      {"caf\xc3", std::nullopt, QStringLiteral("caf\uFFFD")},
      // Cut by the kernel at 15 bytes inside a character: the executable's name is shown.
      {"schreibmaschin\xc3", QStringLiteral("/usr/bin/schreibmaschin\u00fcberwacher"),
       QStringLiteral("schreibmaschin\u00fcberwacher")},
      {"abcdefghijklm\xe2\x82", QStringLiteral("/opt/abcdefghijklm\u20acuro"),
       QStringLiteral("abcdefghijklm\u20acuro")},
      {"schreibmaschin\xc3", std::nullopt, QStringLiteral("schreibmaschin")},
      {"abcdefghijkl\xe2\x82\xac", QStringLiteral("/opt/other"), QStringLiteral("abcdefghijkl\u20ac")},
  };
  for (const auto& c : cases) EXPECT_EQ(ProcessMath::displayName(c.comm, c.path), c.name) << c.comm;
}

TEST(ProcessCollector, RealProcIsPlausible) {
  const auto numericEntries = [] {
    std::set<std::int32_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (std::all_of(name.begin(), name.end(),
                      [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        pids.insert(std::stoi(name));
      }
    }
    return pids;
  };
  ProcessCollector collector;
  collector.sample(1.0);
  volatile double x = 0;
  for (int i = 0; i < 5'000'000; ++i) x = x + i;
  const auto before = numericEntries();
  const ProcessSample sample = collector.sample(1.5);
  const auto after = numericEntries();

  // A process listed before and after the scan lived through it and must be in it; the other
  // machine's processes come and go (builds), so only those bound the count.
  std::set<std::int32_t> scanned;
  for (const auto& record : sample.processes) scanned.insert(record.pid);
  std::size_t missing = 0;
  for (const auto pid : before) missing += after.count(pid) != 0 && scanned.count(pid) == 0;
  EXPECT_LE(missing, 3u);
  std::set<std::int32_t> either = before;
  either.insert(after.begin(), after.end());
  EXPECT_LE(scanned.size(), either.size() + 50);
  EXPECT_EQ(sample.total, static_cast<int>(sample.processes.size()));
  EXPECT_LE(sample.restricted, sample.total);
  EXPECT_DOUBLE_EQ(sample.interval, 0.5);

  const auto self = std::find_if(sample.processes.begin(), sample.processes.end(),
                                 [](const ProcessRecord& r) { return r.pid == ::getpid(); });
  ASSERT_NE(self, sample.processes.end());
  EXPECT_EQ(self->name, QStringLiteral("test_core_collectors"));
  EXPECT_EQ(self->uid, ::geteuid());
  EXPECT_TRUE(self->path);
  EXPECT_TRUE(self->memory);
  EXPECT_TRUE(self->diskRead) << "our own io is readable";
  ASSERT_TRUE(self->cpuPercent);
  EXPECT_GE(*self->cpuPercent, 0.0);
  ASSERT_TRUE(self->startTime);
  EXPECT_LE(*self->startTime, QDateTime::currentDateTimeUtc().addSecs(2));
  EXPECT_GT(*self->startTime, QDateTime::currentDateTimeUtc().addSecs(-3600));
}

TEST(ProcessCollector, SelfUsage) {
  const auto first = ProcessCollector::selfUsage();
  ASSERT_TRUE(first);
  volatile double x = 0;
  for (int i = 0; i < 5'000'000; ++i) x = x + i;
  const auto second = ProcessCollector::selfUsage();
  ASSERT_TRUE(second);
  EXPECT_GT(second->cpuNanos, first->cpuNanos);
  EXPECT_GT(second->footprint, 0u);
  EXPECT_FALSE(second->energyNanojoules);
}

TEST(ProcessReader, ThreadsAndResidentMemoryComeFromStat) {
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  struct Case {
    const char* state;
    std::uint64_t flags;
    std::optional<std::uint64_t> resident;
  };
  const Case cases[] = {
      {"S", 0x400100, 250 * page},
      {"R", 0x400100, 250 * page},
      {"Z", 0x400100, std::nullopt},    // a zombie has released its memory
      {"I", 0x04208060, std::nullopt},  // a kernel thread (PF_KTHREAD) has none
  };
  for (const auto& c : cases) {
    const std::string text = "9 (x) " + std::string(c.state) + " 1 9 9 0 -1 " + std::to_string(c.flags) +
                             " 0 0 0 0 11 22 0 0 20 0 6 0 99 1000 250 18446744073709551615 1\n";
    ProcEntry entry;
    ASSERT_TRUE(ProcessReader::parseStat(text, entry)) << text;
    EXPECT_EQ(entry.threads, 6) << c.state;
    EXPECT_EQ(entry.residentBytes, c.resident) << c.state;
  }
}

// The owner (status) and the I/O counters (io) are read again only when they can have moved:
// for a process that ran, after a rename, or every 30 s; an io refused once stays refused.
TEST(ProcessCollector, RereadsOwnerAndIOOnlyWhenTheyCanHaveChanged) {
  test::StepRoot root("processes");
  root.apply("1");
  ProcessCollector collector(root.root(), fakeUsers);
  collector.sample(100.0);
  const auto replace = [&root](const std::string& file, const std::string& from, const std::string& to) {
    std::ifstream in(root.path(file));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.replace(text.find(from), from.size(), to);
    root.write(file, text);
  };
  // 100 changes owner and counters without running; 300's io becomes readable.
  replace("proc/100/status", "Uid:\t1000\t1000", "Uid:\t0\t0");
  replace("proc/100/io", "read_bytes: 0", "read_bytes: 4096");
  root.write("proc/300/io", "read_bytes: 1\nwrite_bytes: 2\n");
  auto records = byPID(collector.sample(102.0));
  EXPECT_EQ(records[100].user, QStringLiteral("ada"));
  EXPECT_EQ(records[100].diskRead, 0u);
  EXPECT_FALSE(records[300].diskRead);

  // 100 ran: its counters are read, its owner not yet.
  replace("proc/100/stat", " 1000 0 0 0 20 0 8", " 1001 0 0 0 20 0 8");
  records = byPID(collector.sample(104.0));
  EXPECT_EQ(records[100].diskRead, 4096u);
  EXPECT_EQ(records[100].user, QStringLiteral("ada"));

  // The refresh reads the owner; a refusal lasts as long as the process.
  records = byPID(collector.sample(130.0));
  EXPECT_EQ(records[100].user, QStringLiteral("root"));
  EXPECT_FALSE(records[300].diskRead);
  EXPECT_EQ(collector.sample(132.0).restricted, 2);
}

// stat's rss lags what ps and top show; statm's resident pages are the figure, with stat's only
// where statm cannot be read.
TEST(ProcessCollector, ResidentMemoryIsTheFigurePsShows) {
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  struct Case {
    const char* name;
    const char* state;
    const char* statm;  // nullptr: no such file
    std::optional<std::uint64_t> memory;
  };
  const Case cases[] = {
      {"statm differs from stat", "S", "5000 37 10 2 0 30 0\n", 37 * page},
      {"no statm", "S", nullptr, 10 * page},
      {"malformed statm", "S", "5000 x 10\n", 10 * page},
      {"zombie", "Z", "0 0 0 0 0 0 0\n", std::nullopt},
  };
  for (const Case& c : cases) {
    test::StepRoot root("processes");
    root.apply("1");
    root.write("proc/900/stat", "900 (mem) " + std::string(c.state) +
                                    " 100 900 900 0 -1 4194560 0 0 0 0 50 10 0 0 20 0 1 0 30000 10000000 10 "
                                    "18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 0 0 0 0 0 0\n");
    root.write("proc/900/status", "Name:\tmem\nUid:\t1000\t1000\t1000\t1000\nThreads:\t1\n");
    root.write("proc/900/io", "read_bytes: 0\nwrite_bytes: 0\n");
    if (c.statm) root.write("proc/900/statm", c.statm);
    ProcessCollector collector(root.root(), fakeUsers);
    auto records = byPID(collector.sample(100.0));
    EXPECT_EQ(records[900].memory, c.memory) << c.name;
    if (!c.statm || c.memory != 37 * page) continue;
    // Read again at the next scan through the kept file.
    root.write("proc/900/statm", "5000 41 10 2 0 30 0\n");
    root.write("proc/900/stat",
               "900 (mem) S 100 900 900 0 -1 4194560 0 0 0 0 60 10 0 0 20 0 1 0 30000 "
               "10000000 10 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 0 0 0 0 0 0\n");
    records = byPID(collector.sample(102.0));
    EXPECT_EQ(records[900].memory, 41 * page) << c.name;
  }
}

// A real process: statm's figure, not stat's.
TEST(ProcessCollector, RealResidentMemoryMatchesStatm) {
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const pid_t child = ::fork();
  if (child == 0) {
    for (;;) ::pause();
  }
  ASSERT_GT(child, 0);
  const auto resident = [child] {
    std::ifstream in("/proc/" + std::to_string(child) + "/statm");
    std::uint64_t size = 0, pages = 0;
    in >> size >> pages;
    return pages;
  };
  // Compared only on a scan during which the child's memory stood still.
  bool compared = false;
  for (int attempt = 0; attempt < 100 && !compared; ++attempt) {
    const std::uint64_t before = resident();
    ProcessCollector collector;  // a fresh one: a quiet process keeps its last figures
    const auto records = byPID(collector.sample(1.0));
    if (resident() != before) continue;
    ASSERT_TRUE(records.contains(child));
    EXPECT_EQ(records.at(child).memory, before * page);
    compared = true;
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(compared);
}

// The scan keeps stat and schedstat files open between scans; a process that ends is dropped
// and its files closed, so the open files follow the live processes.
TEST(ProcessCollector, KeptFilesFollowTheLiveProcesses) {
  // Open files of this test that read /proc/<pid>/..., by pid.
  const auto keptFiles = [] {
    std::map<std::int32_t, int> files;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
      if (error || !target.starts_with("/proc/")) continue;
      const std::string rest = target.substr(6);
      if (rest.empty() || !std::isdigit(static_cast<unsigned char>(rest[0]))) continue;
      ++files[std::stoi(rest)];
    }
    return files;
  };
  ProcessCollector collector;
  collector.sample(1.0);
  std::vector<pid_t> children;
  for (int i = 0; i < 20; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (;;) ::pause();
    }
    ASSERT_GT(child, 0);
    children.push_back(child);
  }
  const ProcessSample during = collector.sample(3.0);
  const auto seen = byPID(during);
  auto files = keptFiles();
  for (const pid_t child : children) {
    EXPECT_TRUE(seen.contains(child));
    EXPECT_GE(files[child], 1) << "stat is kept";
    EXPECT_LE(files[child], 3) << "stat, schedstat and statm, nothing more";
  }
  // Our own: the listing above and the kept files of the test itself aside.
  files.erase(::getpid());
  for (const auto& [pid, count] : files) EXPECT_LE(count, 3) << pid;
  for (const pid_t child : children) ::kill(child, SIGKILL);
  for (const pid_t child : children) ::waitpid(child, nullptr, 0);
  const ProcessSample after = collector.sample(5.0);
  const auto listed = byPID(after);
  files = keptFiles();
  for (const pid_t child : children) {
    EXPECT_FALSE(listed.contains(child));
    EXPECT_EQ(files[child], 0) << "the files of an ended process are closed";
  }
}

// A process that did not run is not read in full; one that ran, or whose parent exited, must
// still show it at the very next scan.
TEST(ProcessCollector, RealProcessesThatRunOrLoseTheirParentShowItAtTheNextScan) {
  int go[2], done[2], end[2], grandchild[2];
  ASSERT_EQ(::pipe(go), 0);
  ASSERT_EQ(::pipe(done), 0);
  ASSERT_EQ(::pipe(end), 0);
  ASSERT_EQ(::pipe(grandchild), 0);
  // A single-threaded sleeper that, when told, uses about 80 ms of CPU and sleeps again.
  const pid_t spinner = ::fork();
  if (spinner == 0) {
    char byte;
    while (::read(go[0], &byte, 1) == 1) {
      timespec start{}, now{};
      ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
      do {
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
      } while ((now.tv_sec - start.tv_sec) * 1'000'000'000L + (now.tv_nsec - start.tv_nsec) < 80'000'000L);
      if (::write(done[1], &byte, 1) != 1) ::_exit(1);
    }
    ::_exit(0);
  }
  ASSERT_GT(spinner, 0);
  // A parent that exits when told, leaving its sleeping child to be adopted.
  const pid_t middle = ::fork();
  if (middle == 0) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (;;) ::pause();
    }
    if (::write(grandchild[1], &child, sizeof child) != sizeof child) ::_exit(1);
    char byte;
    [[maybe_unused]] const auto n = ::read(end[0], &byte, 1);
    ::_exit(0);
  }
  ASSERT_GT(middle, 0);
  pid_t adopted = 0;
  ASSERT_EQ(::read(grandchild[0], &adopted, sizeof adopted), static_cast<ssize_t>(sizeof adopted));

  ProcessCollector collector;
  collector.sample(1.0);
  auto records = byPID(collector.sample(3.0));
  ASSERT_TRUE(records.contains(spinner) && records.contains(adopted));
  const double before = records[spinner].cpuTime;
  EXPECT_EQ(records[adopted].parentPID, middle);

  const char byte = 'x';
  ASSERT_EQ(::write(go[1], &byte, 1), 1);
  char back;
  ASSERT_EQ(::read(done[0], &back, 1), 1);
  ASSERT_EQ(::write(end[1], &byte, 1), 1);
  // The parent has exited but is not reaped: still listed, as a zombie.
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(middle), &info, WEXITED | WNOWAIT), 0);

  records = byPID(collector.sample(5.0));
  EXPECT_GE(records[spinner].cpuTime, before + 0.05) << "the run shows";
  EXPECT_NE(records[adopted].parentPID, middle) << "the new parent shows";
  EXPECT_GT(records[adopted].parentPID, 0);

  ::kill(adopted, SIGKILL);
  ::kill(spinner, SIGKILL);
  ::waitpid(spinner, nullptr, 0);
  ::waitpid(middle, nullptr, 0);
  for (int* pair : {go, done, end, grandchild}) {
    ::close(pair[0]);
    ::close(pair[1]);
  }
}

// /proc is listed again only once the kernel handed out a pid; a listing that shows a process
// it never announced (a /proc of another pid namespace) makes every scan list.
TEST(ProcessCollector, ListsProcOnlyAfterAPidWasHandedOut) {
  test::StepRoot root("processes");
  root.apply("1");
  const auto addProcess = [&](int pid) {
    const std::string dir = "proc/" + std::to_string(pid) + "/";
    root.write(dir + "stat", std::to_string(pid) +
                                 " (new) S 1 1 1 0 -1 4194560 0 0 0 0 5 1 0 0 20 0 1 0 30000 10000000 10 "
                                 "18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 0 0 0 0 0 0\n");
    root.write(dir + "status", "Name:\tnew\nUid:\t1000\t1000\t1000\t1000\nThreads:\t1\n");
    root.write(dir + "io", "read_bytes: 0\nwrite_bytes: 0\n");
  };
  const auto lastPID = [&](int pid) {
    root.write("proc/loadavg", "0.00 0.00 0.00 1/90 " + std::to_string(pid) + "\n");
  };
  lastPID(900);
  ProcessCollector collector(root.root(), fakeUsers);
  collector.sample(100.0);

  addProcess(901);
  EXPECT_FALSE(byPID(collector.sample(102.0)).contains(901)) << "no pid handed out: not listed";
  lastPID(901);
  EXPECT_TRUE(byPID(collector.sample(104.0)).contains(901)) << "a pid handed out: listed";

  addProcess(902);
  EXPECT_FALSE(byPID(collector.sample(106.0)).contains(902));
  EXPECT_TRUE(byPID(collector.sample(134.5)).contains(902)) << "listed at least every 30 s";
  addProcess(903);
  EXPECT_TRUE(byPID(collector.sample(136.5)).contains(903)) << "the last pid proved wrong: every scan lists";
}

// The figures of a quiet process stand until it runs or the refresh comes.
TEST(ProcessCollector, AQuietProcessIsReadInFullWhenItRunsAndAtTheRefresh) {
  struct Case {
    const char* name;
    const char* runtime;  // schedstat at the third scan
    double third;         // when the third scan runs
    std::uint64_t pages;  // resident pages the third scan shows
  };
  const Case cases[] = {
      {"nothing moved", "5000 0 1\n", 104, 10},
      {"it ran", "6000 0 2\n", 104, 20},
      {"the refresh", "5000 0 1\n", 131, 20},
  };
  const auto stat = [](int pages) {
    return "900 (quiet) S 100 900 900 0 -1 4194560 0 0 0 0 50 10 0 0 20 0 1 0 30000 10000000 " +
           std::to_string(pages) + " 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 0 0 0 0 0 0\n";
  };
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  for (const Case& c : cases) {
    test::StepRoot root("processes");
    root.apply("1");
    root.write("proc/900/stat", stat(10));
    root.write("proc/900/status", "Name:\tquiet\nUid:\t1000\t1000\t1000\t1000\nThreads:\t1\n");
    root.write("proc/900/io", "read_bytes: 0\nwrite_bytes: 0\n");
    root.write("proc/900/schedstat", "5000 0 1\n");
    ProcessCollector collector(root.root(), fakeUsers);
    collector.sample(100.0);
    collector.sample(102.0);
    root.write("proc/900/stat", stat(20));
    root.write("proc/900/schedstat", c.runtime);
    auto records = byPID(collector.sample(c.third));
    EXPECT_EQ(records[900].memory, c.pages * page) << c.name;
    EXPECT_EQ(records[900].threads, 1) << c.name;
    EXPECT_EQ(records[900].parentPID, 100) << c.name;
  }
}
