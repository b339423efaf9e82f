#include "ProcessFixtures.h"

#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessRows.h"
#include "features/processes/ProcessText.h"
#include "metrics/OutsideText.h"
#include "metrics/ValueFormatter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QTextLayout>
#include <QTimeZone>

using namespace kivo;
using test::process;
using test::sampleOf;

namespace {

std::vector<std::int32_t> pids(const ProcessSample& sample, const ProcessQuery& query,
                               const std::unordered_set<std::int32_t>& apps = {}) {
  std::vector<ProcessRow> rows;
  std::vector<std::int32_t> order;
  ProcessRows::build(&sample, query, apps, rows, order);
  std::vector<std::int32_t> out;
  for (const ProcessRow& row : rows) out.push_back(row.record.pid);
  return out;
}

ProcessQuery allBy(std::vector<ProcessSortKey> sort, QString search = {}) {
  ProcessQuery query;
  query.scope = ProcessScope::all;
  query.uid = 1000;
  query.sort = std::move(sort);
  query.search = std::move(search);
  return query;
}

}  // namespace

TEST(ProcessRows, SearchMatchesNamePathOrExactPid) {
  auto withPath = [](ProcessRecord record, QString path) {
    record.path = std::move(path);
    return record;
  };
  const ProcessSample sample = sampleOf({
      process(12, QStringLiteral("init")),
      process(123, QStringLiteral("other")),
      process(124, QStringLiteral("Worker12")),
      withPath(process(300, QStringLiteral("tool")), QStringLiteral("/opt/v12/tool")),
      process(412, QStringLiteral("x")),
  });
  const ProcessSortKey byPid{ProcessColumn::pid, false};
  struct Case {
    QString search;
    std::vector<std::int32_t> expected;
  };
  const std::vector<Case> cases = {
      {QStringLiteral("12"), {12, 124, 300}},  // 123 and 412 only hold 12 in their pid
      {QStringLiteral("12 "), {}},             // a trailing blank matches no pid
      {QStringLiteral("012"), {}},             // not the pid written in decimal
      {QStringLiteral("worker"), {124}},       // case-insensitive name
      {QStringLiteral("/OPT/"), {300}},        // case-insensitive path
      {QString(), {12, 123, 124, 300, 412}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pids(sample, allBy({byPid}, c.search)), c.expected) << c.search.toStdString();
  }
}

TEST(ProcessRows, InitialOrderPutsAbsentCpuLastAndBreaksTiesByPid) {
  const ProcessSample sample = sampleOf({
      process(5, QStringLiteral("a"), std::nullopt),
      process(3, QStringLiteral("b"), 0.0),
      process(9, QStringLiteral("c"), 12.5),
      process(2, QStringLiteral("d"), std::nullopt),
      process(7, QStringLiteral("e"), 12.5),
  });
  EXPECT_EQ(pids(sample, allBy({ProcessSortKey{}})), (std::vector<std::int32_t>{7, 9, 3, 2, 5}));
  // Ascending: the absent figures (sorting as -1) come first, still ties by pid.
  EXPECT_EQ(pids(sample, allBy({{ProcessColumn::cpu, false}})), (std::vector<std::int32_t>{2, 5, 3, 7, 9}));
}

TEST(ProcessRows, TextKeysUsePlainOrderAndSortByUserIgnoresTheMask) {
  const ProcessSample sample = sampleOf({
      process(1, QStringLiteral("b"), 1, 0, QStringLiteral("root")),
      process(2, QStringLiteral("B"), 1, 1000, QStringLiteral("ada")),
      process(3, QStringLiteral("a"), 1, 1001, QStringLiteral("zed")),
      process(4, QStringLiteral("é"), 1, 1002, QStringLiteral("Bob")),
  });
  // Plain code-unit order: capitals before small letters, accents after.
  EXPECT_EQ(pids(sample, allBy({{ProcessColumn::name, false}})), (std::vector<std::int32_t>{2, 3, 1, 4}));
  EXPECT_EQ(pids(sample, allBy({{ProcessColumn::user, false}})), (std::vector<std::int32_t>{4, 2, 1, 3}));
  EXPECT_EQ(pids(sample, allBy({{ProcessColumn::user, true}})), (std::vector<std::int32_t>{3, 1, 2, 4}));
  const ValueFormatter format;
  for (const ProcessRecord& record : sample.processes) {
    EXPECT_EQ(ProcessRows::cellText(record, ProcessColumn::user, format, true), QStringLiteral("•••"));
  }
}

TEST(ProcessRows, ScopesSelectByUserAndApp) {
  const ProcessSample sample = sampleOf({
      process(10, QStringLiteral("mine"), 1, 1000),
      process(11, QStringLiteral("app"), 1, 1000),
      process(12, QStringLiteral("root"), 1, 0),
  });
  const std::unordered_set<std::int32_t> apps{11};
  ProcessQuery query = allBy({{ProcessColumn::pid, false}});
  const std::vector<std::pair<ProcessScope, std::vector<std::int32_t>>> cases = {
      {ProcessScope::all, {10, 11, 12}},
      {ProcessScope::mine, {10, 11}},
      {ProcessScope::apps, {11}},
      {ProcessScope::other, {12}},
  };
  for (const auto& [scope, expected] : cases) {
    query.scope = scope;
    EXPECT_EQ(pids(sample, query, apps), expected) << ProcessScopes::rawValue(scope).toStdString();
  }
  EXPECT_EQ(ProcessScopes::initial(true), ProcessScope::apps);
  EXPECT_EQ(ProcessScopes::initial(false), ProcessScope::mine);
}

TEST(ProcessRows, HeaderClickLeadsAndEarlierKeysFollow) {
  auto keys = ProcessRows::sortBy({ProcessSortKey{}}, ProcessColumn::name, false);
  EXPECT_EQ(keys, (std::vector<ProcessSortKey>{{ProcessColumn::name, false}, {ProcessColumn::cpu, true}}));
  keys = ProcessRows::sortBy(keys, ProcessColumn::cpu, false);
  EXPECT_EQ(keys, (std::vector<ProcessSortKey>{{ProcessColumn::cpu, false}, {ProcessColumn::name, false}}));
}

TEST(ProcessRows, CellsShowDashForAbsentFigures) {
  const ValueFormatter format;
  ProcessRecord bare = process(40, QStringLiteral("zombie"), 3.25);
  bare.hasStatistics = false;
  bare.startTime.reset();
  ProcessRecord noMemory = process(41, QStringLiteral("kthread"), std::nullopt);
  noMemory.memory.reset();
  noMemory.power = 1.5;
  const QString dash = QStringLiteral("—");
  struct Case {
    const ProcessRecord* record;
    ProcessColumn column;
    QString expected;
  };
  const std::vector<Case> cases = {
      {&bare, ProcessColumn::memory, dash},
      {&bare, ProcessColumn::threads, dash},
      {&bare, ProcessColumn::cpuTime, dash},
      {&bare, ProcessColumn::power, dash},
      {&bare, ProcessColumn::started, dash},
      {&bare, ProcessColumn::cpu, format.percent(3.25, 1)},
      {&bare, ProcessColumn::pid, QStringLiteral("40")},
      {&noMemory, ProcessColumn::memory, dash},
      {&noMemory, ProcessColumn::cpu, dash},
      {&noMemory, ProcessColumn::power, format.number(1.5, 2) + QStringLiteral(" W")},
      {&noMemory, ProcessColumn::threads, QStringLiteral("3")},
      {&noMemory, ProcessColumn::cpuTime, format.clock(102)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessRows::cellText(*c.record, c.column, format, false), c.expected)
        << static_cast<int>(c.column);
  }
  // A big pid is written without grouping.
  EXPECT_EQ(ProcessRows::cellText(process(4'194'304, QStringLiteral("x")), ProcessColumn::pid, format, false),
            QStringLiteral("4194304"));
}

TEST(ProcessRows, CountNoteAndInspectorWidth) {
  EXPECT_EQ(ProcessRows::countText(0, 0), QStringLiteral("0 shown of 0"));
  EXPECT_EQ(ProcessRows::countText(12, 1150), QStringLiteral("12 shown of 1150"));

  const std::vector<std::pair<int, std::optional<int>>> widths = {
      {639, std::nullopt}, {640, 230}, {888, 319}, {889, 320}, {900, 320}, {1600, 320}};
  for (const auto& [width, expected] : widths)
    EXPECT_EQ(ProcessRows::inspectorWidth(width, true), expected) << width;
  EXPECT_FALSE(ProcessRows::inspectorWidth(1600, false));

  // With nothing to inspect, a narrow page gives the inspector's room to the table's key columns.
  std::array<bool, kProcessColumnCount> hidden{};
  hidden[static_cast<std::size_t>(ProcessColumn::power)] = true;
  const int needs = ProcessRows::keyColumnsWidth(hidden);
  EXPECT_EQ(needs, 160 + 60 + 70 + 90 + 60 + 90 + 70);
  EXPECT_FALSE(ProcessRows::inspectorWidth(860, true, true, needs));  // 860 - 309 - 1 < 600
  EXPECT_EQ(ProcessRows::inspectorWidth(860, true, false, needs), 309);
  EXPECT_EQ(ProcessRows::inspectorWidth(1200, true, true, needs), 320);
}

TEST(ProcessRows, RestrictedNoteCountsOnlyOtherUsersHiddenFigures) {
  constexpr std::uint32_t me = 1000;
  enum class Hidden { nothing, io, statistics };
  struct Case {
    ProcessScope scope;
    std::uint32_t uid;
    Hidden hidden;
    int counted;
  };
  const std::vector<Case> cases = {
      {ProcessScope::all, 0, Hidden::io, 1},
      {ProcessScope::other, 0, Hidden::io, 1},
      {ProcessScope::other, 1001, Hidden::statistics, 1},
      {ProcessScope::all, 0, Hidden::nothing, 0},  // another user's, but nothing withheld
      {ProcessScope::all, me, Hidden::io, 0},      // pid 1's io, unreadable even to its owner
      {ProcessScope::other, me, Hidden::statistics, 0},
      {ProcessScope::mine, 0, Hidden::io, 0},  // the note belongs to All and Other users
      {ProcessScope::apps, 0, Hidden::io, 0},
  };
  for (const Case& c : cases) {
    ProcessRecord record = process(1, QStringLiteral("init"), 0.5, c.uid);
    if (c.hidden == Hidden::io) record.diskRead.reset();
    if (c.hidden == Hidden::statistics) record.hasStatistics = false;
    // The sample's own count (every record with a refused file) does not decide.
    const ProcessSample sample = sampleOf({record, process(2, QStringLiteral("mine"), 0.5, me)}, 2);
    const std::string label =
        ProcessScopes::rawValue(c.scope).toStdString() + " uid " + std::to_string(c.uid);
    EXPECT_EQ(ProcessRows::restrictedCount(&sample, c.scope, me), c.counted) << label;
    EXPECT_EQ(ProcessRows::restrictedNote(&sample, c.scope, me).has_value(), c.counted > 0) << label;
  }
  EXPECT_FALSE(ProcessRows::restrictedNote(nullptr, ProcessScope::all, me));

  // Singular and plural.
  ProcessRecord one = process(3, QStringLiteral("daemon"), 0.5, 0);
  one.diskRead.reset();
  ProcessSample sample = sampleOf({one});
  EXPECT_TRUE(ProcessRows::restrictedNote(&sample, ProcessScope::all, me)
                  ->startsWith(QStringLiteral(
                      "1 process belongs to another user. Linux gives an unprivileged app its")));
  one.pid = 4;
  sample.processes.push_back(one);
  EXPECT_TRUE(ProcessRows::restrictedNote(&sample, ProcessScope::other, me)
                  ->startsWith(QStringLiteral(
                      "2 processes belong to other users. Linux gives an unprivileged app their")));
}

TEST(ProcessRows, ColumnsFitBeforeTheTableScrollsSideways) {
  std::array<bool, kProcessColumnCount> hidden{};
  hidden[static_cast<std::size_t>(ProcessColumn::power)] = true;
  const auto sum = [&](const std::array<int, kProcessColumnCount>& widths) {
    int total = 0;
    for (int column = 0; column < kProcessColumnCount; ++column) {
      if (!hidden[static_cast<std::size_t>(column)]) total += widths[static_cast<std::size_t>(column)];
    }
    return total;
  };
  const int ideal = 240 + 60 + 70 + 90 + 60 + 90 + 110 + 120;
  const int least = 160 + 60 + 70 + 90 + 60 + 90 + 70 + 100;
  struct Case {
    int available;
    int total;
  };
  // Wide: the last column reaches the edge. Between: the resizable columns give way. Too
  // narrow even at their minimum: the table scrolls.
  for (const Case& c :
       std::vector<Case>{{1200, 1200}, {ideal, ideal}, {760, 760}, {least, least}, {500, least}}) {
    const auto widths = ProcessRows::fittedWidths(c.available, hidden);
    EXPECT_EQ(sum(widths), c.total) << c.available;
    for (int column = 0; column < kProcessColumnCount; ++column) {
      const auto width = ProcessRows::columnWidth(static_cast<ProcessColumn>(column));
      EXPECT_GE(widths[static_cast<std::size_t>(column)], width.minimum)
          << c.available << " column " << column;
      if (!width.resizable) {
        EXPECT_EQ(widths[static_cast<std::size_t>(column)], width.ideal);
      }
    }
  }
  EXPECT_TRUE(ProcessRows::hiddenByDefault(ProcessColumn::power));
  EXPECT_FALSE(ProcessRows::columnTip(ProcessColumn::power).isEmpty());
}

// Too narrow for every column at its least width: the least useful go until the rest fit; the
// name, CPU and memory always stay, and a column the user hid is not counted.
TEST(ProcessRows, ColumnsThatCannotFitAreLeftOutLeastUsefulFirst) {
  using C = ProcessColumn;
  std::array<bool, kProcessColumnCount> powerHidden{};
  powerHidden[static_cast<std::size_t>(C::power)] = true;
  const std::array<bool, kProcessColumnCount> allShown{};
  const struct {
    int available;
    std::array<bool, kProcessColumnCount> hidden;
    std::vector<C> dropped;
  } cases[] = {
      {700, powerHidden, {}},
      {699, powerHidden, {C::threads}},
      {644, powerHidden, {C::threads}},
      {639, powerHidden, {C::threads, C::started}},
      {412, powerHidden, {C::threads, C::cpuTime, C::user, C::started}},
      {100, powerHidden, {C::pid, C::threads, C::cpuTime, C::user, C::started}},
      {710, allShown, {C::threads}},
      {644, allShown, {C::threads, C::started}},
  };
  for (const auto& c : cases) {
    std::vector<C> dropped;  // in column order
    const auto out = ProcessRows::droppedForWidth(c.available, c.hidden);
    for (int column = 0; column < kProcessColumnCount; ++column) {
      if (out[static_cast<std::size_t>(column)]) dropped.push_back(static_cast<C>(column));
    }
    EXPECT_EQ(dropped, c.dropped) << c.available;
  }
}

TEST(ProcessRows, StartedShowsHourAndMinuteAndAppsSayWhatTheyAre) {
  const QDateTime start =
      QDateTime::fromSecsSinceEpoch(1'765'420'447, QTimeZone::utc());  // Dec 11 2025, 02:34:07
  const QString started = ProcessRows::startedText(start);
  EXPECT_TRUE(started.startsWith(QStringLiteral("Dec 11, "))) << started.toStdString();
  EXPECT_TRUE(started.contains(QStringLiteral("2:34"))) << started.toStdString();
  EXPECT_FALSE(started.contains(QStringLiteral(":07"))) << started.toStdString();
  EXPECT_EQ(ProcessRows::shortTimeFormat(QLocale::c()), QStringLiteral("HH:mm"));
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German)}) {
    const QString format = ProcessRows::shortTimeFormat(locale);
    EXPECT_FALSE(format.contains(u's')) << format.toStdString();
    EXPECT_TRUE(format.contains(QStringLiteral("mm"))) << format.toStdString();
  }

  const auto text = ProcessRows::emptyText(ProcessScope::apps, {});
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains(QStringLiteral("started from the desktop")));
  EXPECT_FALSE(ProcessRows::emptyText(ProcessScope::apps, {42}));
  EXPECT_FALSE(ProcessRows::emptyText(ProcessScope::mine, {}));
}

TEST(ProcessText, OutsideTextStaysLiteralAndOnOneLine) {
  EXPECT_EQ(OutsideText::visible(QStringLiteral("<b>x</b>\nrm\t-rf")),
            QStringLiteral("<b>x</b>\u21B5rm\u21E5-rf"));
  EXPECT_EQ(OutsideText::visible(QStringLiteral("plain")), QStringLiteral("plain"));
  EXPECT_EQ(OutsideText::visible(QStringLiteral("a\r\x01\x7f")), QStringLiteral("a\u21B5\uFFFD\uFFFD"));

  const QString home = QStringLiteral("/home/ada");
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/home/ada/bin/tool"), false, home),
            QStringLiteral("~/bin/tool"));
  // Only the home folder itself: /home/adam is another user's folder, not "~m".
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/home/adam/x"), false, home),
            QStringLiteral("/home/adam/x"));
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/home/ada"), false, home), QStringLiteral("~"));
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/usr/bin/top"), false, home),
            QStringLiteral("/usr/bin/top"));
  // A home written with a trailing slash still gives "~/bin", and a root home shortens nothing.
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/home/ada/bin"), false, home + u'/'),
            QStringLiteral("~/bin"));
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/usr/bin/top"), false, QStringLiteral("/")),
            QStringLiteral("/usr/bin/top"));
  EXPECT_EQ(ProcessText::executable(std::nullopt, false, home), QStringLiteral("—"));
  EXPECT_EQ(ProcessText::executable(QStringLiteral("/usr/bin/top"), true, home), QStringLiteral("•••"));

  // Dialogs keep a long name's start and end around "…", at a bounded length.
  const QString longName = QString(200, u'a') + QStringLiteral("END");
  const QString shortened = ProcessText::middleElided(longName);
  EXPECT_EQ(shortened.size(), 48);
  EXPECT_TRUE(shortened.startsWith(QStringLiteral("aaaa")));
  EXPECT_TRUE(shortened.endsWith(QStringLiteral("a\u2026") + QString(21, u'a') + QStringLiteral("END")));
  EXPECT_EQ(ProcessText::middleElided(QStringLiteral("editor")), QStringLiteral("editor"));

  ProcessRecord child = process(410, QStringLiteral("editor"));
  child.parentPID = 77;
  const ProcessRecord parent = process(77, QStringLiteral("shell\nx"));
  EXPECT_EQ(ProcessText::lineage(child, [&](std::int32_t pid) { return pid == 77 ? &parent : nullptr; }),
            QStringLiteral("PID 410 · parent 77 (shell\u21B5x)"));
  EXPECT_EQ(ProcessText::lineage(child, [](std::int32_t) { return nullptr; }),
            QStringLiteral("PID 410 · parent 77"));
}

namespace {

// Where each character of the text lands when laid out on one line, as a label lays it out.
std::vector<qreal> positions(const QString& text) {
  QTextLayout layout(text, QApplication::font());
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(100000);
  layout.endLayout();
  std::vector<qreal> xs;
  for (int i = 0; i < text.size(); ++i) xs.push_back(line.cursorToX(i));
  return xs;
}

}  // namespace

// A name built to mislead (an override that turns "(PID 26663)" into "(36662 DIP)", right-to-left
// letters that pull the figure into their run) shows its controls and leaves the PID after it,
// in its own order: in the dialog's title, the table's cell and the tray panel's row alike.
TEST(ProcessEntries, APidBesideAHostileNameReadsInItsOwnOrder) {
  const QString names[] = {
      QStringLiteral("rtl\u202Etxt.exe"),
      QStringLiteral("\u202Eabc"),
      QStringLiteral("\u05E9\u05DC\u05D5\u05DD"),
      QStringLiteral("\u0645\u0631\u062D\u0628\u0627 12"),
      QStringLiteral("\u2067x\u2066"),
      QStringLiteral("   "),
      QString(),
  };
  for (const QString& name : names) {
    ProcessRecord record = process(26663, name);
    const QString title = ProcessEntries::confirmationTitle(ProcessAction::quit, record);
    const qsizetype pid = title.indexOf(QStringLiteral("(PID 26663)"));
    ASSERT_GE(pid, 0) << title.toStdString();
    const auto xs = positions(title);
    // The figure and what follows it run left to right...
    for (qsizetype i = pid + 1; i < title.size(); ++i)
      EXPECT_GT(xs[static_cast<std::size_t>(i)], xs[static_cast<std::size_t>(i - 1)])
          << title.toStdString() << " at " << i;
    // ...after everything of the name.
    for (qsizetype i = 0; i < pid; ++i)
      EXPECT_LE(xs[static_cast<std::size_t>(i)], xs[static_cast<std::size_t>(pid)]) << title.toStdString();
    EXPECT_FALSE(title.contains(QChar(0x202E))) << "the override itself is shown, not obeyed";
    EXPECT_EQ(ProcessRows::cellText(record, ProcessColumn::name, ValueFormatter(QLocale::c()), false),
              OutsideText::visible(name));
  }
  // Without the visible form the title is the spoof the user would have read.
  const QString spoof = QStringLiteral("Quit \u201Crtl\u202Etxt.exe\u201D (PID 26663)?");
  const auto xs = positions(spoof);
  const qsizetype pid = spoof.indexOf(QStringLiteral("26663"));
  EXPECT_LT(xs[static_cast<std::size_t>(pid + 1)], xs[static_cast<std::size_t>(pid)]) << "the check can fail";
}
