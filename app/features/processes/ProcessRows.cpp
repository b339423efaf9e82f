#include "features/processes/ProcessRows.h"

#include "features/processes/ProcessText.h"
#include "metrics/ValueFormatter.h"
#include "texts/Localized.h"

#include <QLocale>

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
    case ProcessColumn::name: return a.name.compare(b.name);
    case ProcessColumn::pid: return threeWay(a.pid, b.pid);
    case ProcessColumn::cpu: return threeWay(a.cpuPercent.value_or(-1.0), b.cpuPercent.value_or(-1.0));
    case ProcessColumn::memory: return threeWay(a.memory, b.memory);
    case ProcessColumn::threads: return threeWay(a.threads, b.threads);
    case ProcessColumn::cpuTime: return threeWay(a.cpuTime, b.cpuTime);
    case ProcessColumn::power: return threeWay(a.power.value_or(-1.0), b.power.value_or(-1.0));
    case ProcessColumn::user: return a.user.compare(b.user);
    case ProcessColumn::started: return threeWay(a.startTime, b.startTime);
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

void build(const ProcessSample* sample, const ProcessQuery& query, const std::unordered_set<std::int32_t>& apps,
           std::vector<ProcessRow>& rows, std::vector<std::int32_t>& order) {
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
    return compare(records[static_cast<std::size_t>(a)], records[static_cast<std::size_t>(b)], query.sort) < 0;
  });
  rows.resize(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    rows[i].record = records[static_cast<std::size_t>(order[i])];
    rows[i].isApp = apps.contains(rows[i].record.pid);
  }
}

std::vector<ProcessSortKey> sortBy(const std::vector<ProcessSortKey>& sort, ProcessColumn column, bool descending) {
  std::vector<ProcessSortKey> keys{ProcessSortKey{column, descending}};
  for (const ProcessSortKey& key : sort) {
    if (key.column != column && keys.size() < 3) keys.push_back(key);
  }
  return keys;
}

QString columnTitle(ProcessColumn column) {
  switch (column) {
    case ProcessColumn::name: return tr("Process");
    case ProcessColumn::pid: return tr("PID");
    case ProcessColumn::cpu: return tr("CPU");
    case ProcessColumn::memory: return tr("Memory");
    case ProcessColumn::threads: return tr("Threads");
    case ProcessColumn::cpuTime: return tr("CPU time");
    case ProcessColumn::power: return tr("Power");
    case ProcessColumn::user: return tr("User");
    case ProcessColumn::started: return tr("Started");
  }
  return {};
}

ColumnWidth columnWidth(ProcessColumn column) {
  switch (column) {
    case ProcessColumn::name: return {160, 240, true};
    case ProcessColumn::pid: return {60, 60, false};
    case ProcessColumn::cpu: return {70, 70, false};
    case ProcessColumn::memory: return {90, 90, false};
    case ProcessColumn::threads: return {60, 60, false};
    case ProcessColumn::cpuTime: return {90, 90, false};
    case ProcessColumn::power: return {70, 70, false};
    case ProcessColumn::user: return {70, 110, true};
    case ProcessColumn::started: return {90, 120, true};
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
    case ProcessColumn::power: return true;
    default: return false;
  }
}

QString startedText(const QDateTime& start) {
  const QLocale locale;
  const QDateTime local = start.toLocalTime();
  return locale.toString(local.date(), QStringLiteral("MMM d")) + QStringLiteral(", ") +
         locale.toString(local.time(), QLocale::ShortFormat);
}

QString cellText(const ProcessRecord& record, ProcessColumn column, const ValueFormatter& format, bool mask) {
  static const QString dash = QStringLiteral("—");
  switch (column) {
    case ProcessColumn::name: return ProcessText::singleLine(record.name);
    case ProcessColumn::pid: return QString::number(record.pid);
    case ProcessColumn::cpu: return record.cpuPercent ? format.percent(*record.cpuPercent, 1) : dash;
    case ProcessColumn::memory:
      return record.hasStatistics && record.memory ? format.bytes(*record.memory, true) : dash;
    case ProcessColumn::threads: return record.hasStatistics ? QString::number(record.threads) : dash;
    case ProcessColumn::cpuTime: return record.hasStatistics ? format.clock(record.cpuTime) : dash;
    case ProcessColumn::power: return record.power ? tr("%1 W", format.number(*record.power, 2)) : dash;
    case ProcessColumn::user: return ProcessText::user(record, mask);
    case ProcessColumn::started: return record.startTime ? startedText(*record.startTime) : dash;
  }
  return dash;
}

QString countText(int shown, int total) {
  return tr("%1 shown of %2", QString::number(shown), QString::number(total));
}

std::optional<QString> restrictedNote(const ProcessSample* sample, ProcessScope scope) {
  if (!sample || sample->restricted < 1) return std::nullopt;
  if (scope != ProcessScope::all && scope != ProcessScope::other) return std::nullopt;
  return tr("%1 processes belong to other users. Linux gives an unprivileged app their CPU and memory but not "
            "their disk activity, so those figures stay empty.",
            sample->restricted);
}

std::optional<int> inspectorWidth(int pageWidth, bool showInspector) {
  if (!showInspector || pageWidth < 640) return std::nullopt;
  return static_cast<int>(std::min(std::floor(pageWidth * 0.36), 320.0));
}

}  // namespace kivo::ProcessRows
