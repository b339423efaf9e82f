#pragma once

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace kivo::test {

// What a text shown to a person may name on Linux: the kernel files, calls, fields and
// products this program reads or mentions, and the proper names its texts use. A list of what
// is allowed, so a name of another platform fails without anyone having thought of it first.
inline const QSet<QString>& linuxNames() {
  static const QSet<QString> names = [] {
    const char* list[] = {
        // Kernel files and folders.
        "/",
        "/proc",
        "/proc/stat",
        "/proc/loadavg",
        "/proc/meminfo",
        "/proc/vmstat",
        "/proc/pressure/memory",
        "/proc/diskstats",
        "/proc/net/dev",
        "/proc/net/wireless",
        "/proc/self/mountinfo",
        "/proc/self/status",
        "/proc/<pid>/stat",
        "/proc/<pid>/status",
        "/proc/<pid>/io",
        "/sys/block",
        "/sys/block/zram*/mm_stat",
        "/sys/class/power_supply",
        "/sys/class/thermal",
        "/sys/class/drm",
        "/sys/class/drm/card*/device/gpu_busy_percent",
        "/sys/class/hwmon",
        "/sys/class/powercap",
        "/sys/devices/cpu_core",
        "/sys/devices/cpu_atom",
        "/sys/devices/system/cpu/cpufreq",
        "/sys/firmware/acpi/platform_profile",
        // Calls, and fields of the files above.
        "statvfs",
        "statvfs(3)",
        "f_bavail",
        "f_frsize",
        "clock_gettime(CLOCK_PROCESS_CPUTIME_ID)",
        "rx_bytes",
        "tx_bytes",
        "AnonPages",
        "Shmem",
        "Cached",
        "SReclaimable",
        "SUnreclaim",
        "KernelStack",
        "PageTables",
        "MemTotal",
        "MemFree",
        "SwapTotal",
        "SwapFree",
        "VmRSS",
        "mem_used_total",
        "energy_now",
        "energy_full",
        "charge_now",
        "charge_full",
        "power_now",
        "voltage_now",
        "current_now",
        "cycle_count",
        // Hardware and vendors.
        "CPU",
        "CPUs",
        "GPU",
        "RAM",
        "I/O",
        "AC",
        "SSD",
        "NVMe",
        "SATA",
        "SMART",
        "RAPL",
        "NVIDIA",
        // This program, its pages and the names it gives to states.
        "KIVO",
        "Monitor",
        "Processes",
        "Low",
        "Power",
        "Mode",
        "Nominal",
        "Fair",
        "Serious",
        "Critical",
    };
    QSet<QString> set;
    for (const char* name : list) set.insert(QString::fromUtf8(name));
    return set;
  }();
  return names;
}

namespace detail {

inline QString bare(QString word) {
  static const QString leading = QStringLiteral("(\"“‘");
  static const QString trailing = QStringLiteral(")\"”’,.;:!?");
  while (!word.isEmpty() && leading.contains(word.front())) word.remove(0, 1);
  for (const auto* possessive : {"'s", "’s"}) {
    if (word.endsWith(QString::fromUtf8(possessive))) word.chop(2);
  }
  // A closing parenthesis ends a call ("statvfs(3)") unless it closes one opened before the word.
  while (!word.isEmpty() && trailing.contains(word.back()) &&
         (word.back() != QLatin1Char(')') || word.count(QLatin1Char(')')) > word.count(QLatin1Char('(')))) {
    word.chop(1);
  }
  return word;
}

// Capitals after the first letter of a part that is not all capitals: "FrobKit", "quuxOS", "VmRSS".
inline bool innerCapitals(const QString& word) {
  for (const QString& part : word.split(QLatin1Char('-'))) {
    bool lower = false;
    bool innerUpper = false;
    for (qsizetype i = 0; i < part.size(); ++i) {
      if (part[i].isLower()) lower = true;
      if (i > 0 && part[i].isUpper()) innerUpper = true;
    }
    if (lower && innerUpper) return true;
  }
  return false;
}

inline bool allCapitals(const QString& word) {
  bool upper = false;
  for (const QChar c : word) {
    if (c.isLower()) return false;
    if (c.isUpper()) upper = true;
  }
  return upper && word.size() > 1;
}

}  // namespace detail

// The names in a text that are not on the list: paths, calls ("statvfs(3)"), identifiers with
// '_' or inner capitals, words in capitals, and capitalised words inside a sentence. Words
// that start a sentence are not checked: they are capitalised anyway. Empty when the text names
// nothing but Linux.
inline QStringList unknownNames(const QString& text) {
  QStringList unknown;
  bool sentenceStart = true;
  for (const QString& raw : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
    const QString word = detail::bare(raw);
    const bool startsSentence = sentenceStart;
    sentenceStart = raw.endsWith(QLatin1Char('.')) || raw.endsWith(QLatin1Char(':')) ||
                    raw.endsWith(QLatin1Char('?')) || raw.endsWith(QLatin1Char('!'));
    if (word.isEmpty() || (!word.front().isLetterOrNumber() && word.front() != QLatin1Char('/'))) continue;
    const bool shaped = word.startsWith(QLatin1Char('/')) || word.contains(QLatin1Char('(')) ||
                        word.contains(QLatin1Char('_')) || detail::innerCapitals(word) ||
                        detail::allCapitals(word) ||
                        (!startsSentence && word.size() > 1 && word.front().isUpper());
    if (shaped && !linuxNames().contains(word) && !unknown.contains(word)) unknown << word;
  }
  return unknown;
}

// Passes when the text names nothing but Linux; else says which names are not on the list.
inline ::testing::AssertionResult namesOnlyLinux(const QString& text) {
  const QStringList unknown = unknownNames(text);
  if (unknown.isEmpty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << '"' << text.toStdString() << "\" names " << unknown.join(QStringLiteral(", ")).toStdString();
}

}  // namespace kivo::test
