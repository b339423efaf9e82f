#include "features/processes/ProcessRows.h"

#include "features/processes/ProcessText.h"
#include "metrics/OutsideText.h"
#include "metrics/ValueFormatter.h"
#include "texts/Localized.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace kivo::ProcessRows {

namespace {

template <typename T>
int threeWay(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Absent sorts before every present value (as the distant past, or -1 for CPU and power).
template <typename T>
int threeWay(const std::optional<T>& a, const std::optional<T>& b) {
  if (a && b) return threeWay(*a, *b);
  return a ? 1 : (b ? -1 : 0);
}

int compareColumn(const ProcessRecord& a, const ProcessRecord& b, ProcessColumn column) {
  switch (column) {
    case ProcessColumn::name:
      return a.name.compare(b.name);
    case ProcessColumn::pid:
      return threeWay(a.pid, b.pid);
    case ProcessColumn::cpu:
      return threeWay(a.cpuPercent.value_or(-1.0), b.cpuPercent.value_or(-1.0));
    case ProcessColumn::memory:
      return threeWay(a.memory, b.memory);
    case ProcessColumn::threads:
      return threeWay(a.threads, b.threads);
    case ProcessColumn::cpuTime:
      return threeWay(a.cpuTime, b.cpuTime);
    case ProcessColumn::power:
      return threeWay(a.power.value_or(-1.0), b.power.value_or(-1.0));
    case ProcessColumn::user:
      return a.user.compare(b.user);
    case ProcessColumn::started:
      return threeWay(a.startTime, b.startTime);
  }
  return 0;
}

}  // namespace

std::optional<std::int32_t> searchPID(const QString& search) {
  if (search.isEmpty() || search.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (QChar c : search) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  if ((search.size() > 1 && search.front() == u'0') || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

bool matches(const ProcessRecord& record, const QString& search, std::optional<std::int32_t> pid) {
  if (search.isEmpty()) return true;
  if (record.name.contains(search, Qt::CaseInsensitive)) return true;
  if (pid && record.pid == *pid) return true;
  return record.path && record.path->contains(search, Qt::CaseInsensitive);
}

int compare(const ProcessRecord& a, const ProcessRecord& b, const std::vector<ProcessSortKey>& sort) {
  for (const ProcessSortKey& key : sort) {
    const int order = compareColumn(a, b, key.column);
    if (order != 0) return key.descending ? -order : order;
  }
  return threeWay(a.pid, b.pid);
}

void build(const ProcessSample* sample, const ProcessQuery& query,
           const std::unordered_set<std::int32_t>& apps, std::vector<ProcessRow>& rows,
           std::vector<std::int32_t>& order) {
  order.clear();
  if (!sample) {
    rows.clear();
    return;
  }
  const auto& records = sample->processes;
  const std::optional<std::int32_t> pid = searchPID(query.search);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ProcessRecord& record = records[i];
    if (!ProcessScopes::contains(query.scope, record, query.uid, apps)) continue;
    if (!matches(record, query.search, pid)) continue;
    order.push_back(static_cast<std::int32_t>(i));
  }
  std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
    return compare(records[static_cast<std::size_t>(a)], records[static_cast<std::size_t>(b)], query.sort) <
           0;
  });
  rows.resize(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    rows[i].record = records[static_cast<std::size_t>(order[i])];
    rows[i].isApp = apps.contains(rows[i].record.pid);
  }
}

std::vector<ProcessSortKey> sortBy(const std::vector<ProcessSortKey>& sort, ProcessColumn column,
                                   bool descending) {
  std::vector<ProcessSortKey> keys{ProcessSortKey{column, descending}};
  for (const ProcessSortKey& key : sort) {
    if (key.column != column && keys.size() < 3) keys.push_back(key);
  }
  return keys;
}

QString columnTitle(ProcessColumn column) {
  switch (column) {
    case ProcessColumn::name:
      return tr("Process");
    case ProcessColumn::pid:
      return tr("PID");
    case ProcessColumn::cpu:
      return tr("CPU");
    case ProcessColumn::memory:
      return tr("Memory");
    case ProcessColumn::threads:
      return tr("Threads");
    case ProcessColumn::cpuTime:
      return tr("CPU time");
    case ProcessColumn::power:
      return tr("Power");
    case ProcessColumn::user:
      return tr("User");
    case ProcessColumn::started:
      return tr("Started");
  }
  return {};
}

ColumnWidth columnWidth(ProcessColumn column) {
  switch (column) {
    case ProcessColumn::name:
      return {160, 240, true};
    case ProcessColumn::pid:
      return {60, 60, false};
    case ProcessColumn::cpu:
      return {70, 70, false};
    case ProcessColumn::memory:
      return {90, 90, false};
    case ProcessColumn::threads:
      return {60, 60, false};
    case ProcessColumn::cpuTime:
      return {90, 90, false};
    case ProcessColumn::power:
      return {70, 70, false};
    case ProcessColumn::user:
      return {70, 110, true};
    case ProcessColumn::started:
      // Narrower, "Dec 11, 14:05" loses its minutes.
      return {100, 120, true};
  }
  return {};
}

bool isNumeric(ProcessColumn column) {
  switch (column) {
    case ProcessColumn::pid:
    case ProcessColumn::cpu:
    case ProcessColumn::memory:
    case ProcessColumn::threads:
    case ProcessColumn::cpuTime:
    case ProcessColumn::power:
      return true;
    default:
      return false;
  }
}

QString shortTimeFormat(const QLocale& locale) {
  // The locale's short time, without seconds where it has them ("HH:mm:ss" in the C locale).
  QString format = locale.timeFormat(QLocale::ShortFormat);
  static const QRegularExpression seconds(QStringLiteral("[^hHmaApP]*s+"));
  format.remove(seconds);
  return format.trimmed();
}

QString startedText(const QDateTime& start) {
  const QLocale locale;
  // Painting asks for this cell by cell: the format is worked out once per locale.
  static QLocale formatLocale = QLocale::c();
  static QString format = shortTimeFormat(formatLocale);
  if (!(locale == formatLocale)) {
    formatLocale = locale;
    format = shortTimeFormat(locale);
  }
  const QDateTime local = start.toLocalTime();
  return locale.toString(local.date(), QStringLiteral("MMM d")) + QStringLiteral(", ") +
         locale.toString(local.time(), format);
}

QString cellText(const ProcessRecord& record, ProcessColumn column, const ValueFormatter& format, bool mask) {
  static const QString dash = QStringLiteral("—");
  switch (column) {
    case ProcessColumn::name:
      // An exited process waiting for its parent holds no memory and runs no more: said, as ps
      // marks it defunct.
      return record.ended ? tr("%1 (ended)", OutsideText::visible(record.name))
                          : OutsideText::visible(record.name);
    case ProcessColumn::pid:
      return QString::number(record.pid);
    case ProcessColumn::cpu:
      return record.cpuPercent ? format.percent(*record.cpuPercent, 1) : dash;
    case ProcessColumn::memory:
      return record.hasStatistics && record.memory ? format.bytes(*record.memory, true) : dash;
    case ProcessColumn::threads:
      return record.hasStatistics ? QString::number(record.threads) : dash;
    case ProcessColumn::cpuTime:
      return record.hasStatistics ? format.clock(record.cpuTime) : dash;
    case ProcessColumn::power:
      return record.power ? tr("%1 W", format.number(*record.power, 2)) : dash;
    case ProcessColumn::user:
      return ProcessText::user(record, mask);
    case ProcessColumn::started:
      return record.startTime ? startedText(*record.startTime) : dash;
  }
  return dash;
}

QString columnTip(ProcessColumn column) {
  if (column != ProcessColumn::power) return {};
  return tr(
      "Linux does not measure the power of a single process, so this column stays empty. It is hidden "
      "unless you show it from the header's context menu.");
}

QString countText(int shown, int total) {
  return tr("%1 shown of %2", QString::number(shown), QString::number(total));
}

int restrictedCount(const ProcessSample* sample, ProcessScope scope, std::uint32_t uid) {
  if (!sample || (scope != ProcessScope::all && scope != ProcessScope::other)) return 0;
  // Only other users' processes that the scope lists and whose figures the kernel withheld: a
  // process of this user (pid 1 when running as root) is no business of the note.
  return static_cast<int>(std::count_if(
      sample->processes.begin(), sample->processes.end(),
      [uid](const auto& r) { return r.uid != uid && (!r.hasStatistics || !r.diskRead || !r.diskWritten); }));
}

std::optional<QString> restrictedNote(const ProcessSample* sample, ProcessScope scope, std::uint32_t uid) {
  const int count = restrictedCount(sample, scope, uid);
  if (count < 1) return std::nullopt;
  if (count == 1) {
    return tr(
        "1 process belongs to another user. Linux gives an unprivileged app its CPU and memory but not "
        "its disk activity, so those figures stay empty.");
  }
  return tr(
      "%1 processes belong to other users. Linux gives an unprivileged app their CPU and memory but not "
      "their disk activity, so those figures stay empty.",
      count);
}

std::optional<QString> emptyText(ProcessScope scope, const std::unordered_set<std::int32_t>& apps) {
  if (scope != ProcessScope::apps || !apps.empty()) return std::nullopt;
  return tr(
      "No apps are running. Apps are programs started from the desktop, each in a session scope of its own.");
}

std::array<int, kProcessColumnCount> fittedWidths(int available,
                                                  const std::array<bool, kProcessColumnCount>& hidden) {
  std::array<int, kProcessColumnCount> widths{};
  int total = 0;
  int slack = 0;
  int last = -1;
  for (int column = 0; column < kProcessColumnCount; ++column) {
    const ColumnWidth width = columnWidth(static_cast<ProcessColumn>(column));
    widths[static_cast<std::size_t>(column)] = width.ideal;
    if (hidden[static_cast<std::size_t>(column)]) continue;
    total += width.ideal;
    if (width.resizable) slack += width.ideal - width.minimum;
    last = column;
  }
  if (last < 0) return widths;
  if (total > available && slack > 0) {
    // Too wide: the resizable columns give up room in proportion to what they can spare.
    const int over = std::min(total - available, slack);
    int given = 0;
    int spare = slack;
    for (int column = 0; column < kProcessColumnCount; ++column) {
      const ColumnWidth width = columnWidth(static_cast<ProcessColumn>(column));
      if (hidden[static_cast<std::size_t>(column)] || !width.resizable) continue;
      const int share = width.ideal - width.minimum;
      const int cut = spare > 0 ? static_cast<int>(std::lround(double(over - given) * share / spare)) : 0;
      widths[static_cast<std::size_t>(column)] -= cut;
      given += cut;
      spare -= share;
    }
  } else if (total < available) {
    // Room to spare: the last column takes it, so the rows reach the edge.
    widths[static_cast<std::size_t>(last)] += available - total;
  }
  return widths;
}

std::array<bool, kProcessColumnCount> droppedForWidth(int available,
                                                      const std::array<bool, kProcessColumnCount>& hidden) {
  static constexpr std::array kOrder{ProcessColumn::threads, ProcessColumn::started, ProcessColumn::power,
                                     ProcessColumn::cpuTime, ProcessColumn::user,    ProcessColumn::pid};
  std::array<bool, kProcessColumnCount> dropped{};
  int needed = 0;
  for (int column = 0; column < kProcessColumnCount; ++column) {
    if (!hidden[static_cast<std::size_t>(column)])
      needed += columnWidth(static_cast<ProcessColumn>(column)).minimum;
  }
  for (ProcessColumn column : kOrder) {
    if (needed <= available) break;
    const auto index = static_cast<std::size_t>(column);
    if (hidden[index]) continue;
    dropped[index] = true;
    needed -= columnWidth(column).minimum;
  }
  return dropped;
}

int keyColumnsWidth(const std::array<bool, kProcessColumnCount>& hidden) {
  int width = 0;
  for (int column = 0; column <= static_cast<int>(ProcessColumn::user); ++column) {
    if (!hidden[static_cast<std::size_t>(column)])
      width += columnWidth(static_cast<ProcessColumn>(column)).minimum;
  }
  return width;
}

std::optional<int> inspectorWidth(int pageWidth, bool showInspector, bool empty, int tableNeeds) {
  if (!showInspector || pageWidth < 640) return std::nullopt;
  const int width = static_cast<int>(std::min(std::floor(pageWidth * 0.36), 320.0));
  // With nothing to inspect, a narrow page gives the pane's room to the table's key columns.
  if (empty && pageWidth - width - 1 < tableNeeds) return std::nullopt;
  return width;
}

}  // namespace kivo::ProcessRows
