#pragma once

#include "collectors/ProcessSample.h"
#include "features/processes/ProcessScope.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace kivo {

class ValueFormatter;

// One row of the process table: the process as sampled and whether it is an app.
struct ProcessRow {
  ProcessRecord record;
  bool isApp = false;
};

// The table's columns, in order.
enum class ProcessColumn { name, pid, cpu, memory, threads, cpuTime, power, user, started };
inline constexpr int kProcessColumnCount = 9;

struct ProcessSortKey {
  ProcessColumn column = ProcessColumn::cpu;
  bool descending = true;
  bool operator==(const ProcessSortKey&) const = default;
};

// What narrows and orders the rows: the page's scope, search and sort, and the user it runs as.
struct ProcessQuery {
  ProcessScope scope = ProcessScope::mine;
  QString search;
  // Applied in order; the pid, ascending, always decides last.
  std::vector<ProcessSortKey> sort{ProcessSortKey{}};
  std::uint32_t uid = 0;
};

namespace ProcessRows {

// The rows of a sample (none without one) that belong to the scope and match the search, sorted.
// `rows` is overwritten; its storage is reused from tick to tick. `order` is scratch space.
void build(const ProcessSample* sample, const ProcessQuery& query,
           const std::unordered_set<std::int32_t>& apps, std::vector<ProcessRow>& rows,
           std::vector<std::int32_t>& order);

// The search: name or path contains it (case-insensitive), or it is the pid written in decimal.
bool matches(const ProcessRecord& record, const QString& search, std::optional<std::int32_t> searchPID);
// The pid a search text names exactly ("12", not "012", "+12" or "12 "); absent otherwise.
std::optional<std::int32_t> searchPID(const QString& search);
// Negative, zero or positive as a sorts before, with or after b under the keys (pid last).
int compare(const ProcessRecord& a, const ProcessRecord& b, const std::vector<ProcessSortKey>& sort);
// A click on a column's header: that column leads, the earlier keys follow.
std::vector<ProcessSortKey> sortBy(const std::vector<ProcessSortKey>& sort, ProcessColumn column,
                                   bool descending);

QString columnTitle(ProcessColumn column);
// The header's tooltip: why Power stays empty; none for the other columns.
QString columnTip(ProcessColumn column);
// Hidden until the user shows them from the header's context menu.
inline bool hiddenByDefault(ProcessColumn column) {
  return column == ProcessColumn::power;
}
// Fixed columns have a width; resizable ones a minimum and an ideal width.
struct ColumnWidth {
  int minimum = 0;
  int ideal = 0;
  bool resizable = false;
};
ColumnWidth columnWidth(ProcessColumn column);
bool isNumeric(ProcessColumn column);

// The text of one cell. mask: the privacy mask (user names read "•••").
QString cellText(const ProcessRecord& record, ProcessColumn column, const ValueFormatter& format, bool mask);
// "%1 shown of %2"
QString countText(int shown, int total);
// The other users' processes whose figures are hidden from this user (uid), counted only in the
// All and Other users scopes; the note under the table names them, singular or plural.
int restrictedCount(const ProcessSample* sample, ProcessScope scope, std::uint32_t uid);
std::optional<QString> restrictedNote(const ProcessSample* sample, ProcessScope scope, std::uint32_t uid);
// What the table says when the Apps scope has no app to list.
std::optional<QString> emptyText(ProcessScope scope, const std::unordered_set<std::int32_t>& apps);
// The widths of the columns in a table `available` wide: the ideal widths, the resizable
// columns narrowed toward their minimum before the table needs to scroll sideways, and the
// last visible column widened to the edge. Hidden columns keep their ideal width.
std::array<int, kProcessColumnCount> fittedWidths(int available,
                                                  const std::array<bool, kProcessColumnCount>& hidden);
// The columns left out so that the others fit `available` at their least widths, least useful
// first: Threads, Started, Power, CPU time, User, PID. Process, CPU and Memory always stay;
// columns already hidden are neither counted nor left out.
std::array<bool, kProcessColumnCount> droppedForWidth(int available,
                                                      const std::array<bool, kProcessColumnCount>& hidden);
// The least width of the visible columns up to User (Process, PID, CPU, Memory, ...).
int keyColumnsWidth(const std::array<bool, kProcessColumnCount>& hidden);
// The inspector's width at this page width; absent when it is hidden. An empty inspector is
// hidden as well when the table would then be narrower than `tableNeeds`.
std::optional<int> inspectorWidth(int pageWidth, bool showInspector, bool empty = false, int tableNeeds = 0);
// The locale's short time without seconds.
QString shortTimeFormat(const QLocale& locale);
// Start time as in the Started column: abbreviated month, day, hour and minute.
QString startedText(const QDateTime& start);

}  // namespace ProcessRows

}  // namespace kivo
