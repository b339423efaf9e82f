#include "PageShots.h"
#include "ProcessFixtures.h"

#include "design/Appearance.h"
#include "design/Card.h"
#include "design/ElidedLabel.h"
#include "design/Icons.h"
#include "design/Sparkline.h"
#include "features/processes/FileManager.h"
#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessInspector.h"
#include "features/processes/ProcessTableModel.h"
#include "features/processes/ProcessesPage.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <functional>
#include <memory>
#include <tuple>

using namespace kivo;
using test::ModelRig;
using test::process;
using test::sampleOf;

namespace {

const std::uint32_t kMe = static_cast<std::uint32_t>(::getuid());
const std::uint32_t kOther = kMe + 1;

// Records what the page asked to end instead of sending signals.
class FakeActions final : public ProcessActions {
 public:
  struct Call {
    ProcessAction action;
    std::int32_t pid;
    std::optional<QDateTime> start;
  };
  bool perform(ProcessAction action, std::int32_t pid, const std::optional<QDateTime>& start) override {
    calls.push_back({action, pid, start});
    return result;
  }
  bool result = true;
  std::vector<Call> calls;
};

ProcessRecord mine(std::int32_t pid, QString name, std::optional<double> cpu = 1.0) {
  return process(pid, std::move(name), cpu, kMe, QStringLiteral("ada"));
}

ProcessRecord theirs(std::int32_t pid, QString name, std::optional<double> cpu = 1.0) {
  ProcessRecord record = process(pid, std::move(name), cpu, kOther, QStringLiteral("root"));
  record.diskRead.reset();
  record.diskWritten.reset();
  return record;
}

// The page over the shared rig, ending processes through a recorder and reading an empty /proc.
struct ProcessesPageRig : test::PageRig {
  explicit ProcessesPageRig(QMap<QString, QVariant> arguments = {}) : PageRig(std::move(arguments)) {
    Icons::initResources();
    page = std::make_unique<ProcessesPage>(*model, *settings, fake);
    page->setProcRoot(emptyProc.path().toStdString());
    page->resize(1100, 700);
  }

  void ingest(ProcessSample sample, double seconds = 0) {
    TelemetrySnapshot snapshot = test::snapshotAt(seconds > 0 ? seconds : ++tick);
    snapshot.processes = std::move(sample);
    model->ingest(snapshot);
  }
  std::optional<std::int32_t> viewSelection() const {
    const QModelIndexList rows = page->tableView()->selectionModel()->selectedRows();
    if (rows.size() != 1) return std::nullopt;
    return page->tableModel().rowAt(rows.front().row())->record.pid;
  }
  template <typename T>
  T* child(const char* name) const {
    return page->findChild<T*>(QString::fromLatin1(name));
  }

  QTemporaryDir emptyProc;
  FakeActions fake;
  FakeActions* actions = &fake;
  // Last, so it goes before the model it reads.
  std::unique_ptr<ProcessesPage> page;
  double tick = 0;
};

// Runs `handle` on the named message box of the page once it is shown (inside its exec()).
void whenShown(QWidget* parent, const QString& name, std::function<void(QMessageBox*)> handle) {
  // Owned by the parent, so a box that never comes leaves no timer behind.
  auto* timer = new QTimer(parent);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, parent = QPointer<QWidget>(parent), name, handle] {
    QMessageBox* box = parent ? parent->findChild<QMessageBox*>(name) : nullptr;
    if (!box || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    handle(box);
  });
  timer->start();
}

void click(QMessageBox* box, const char* button) {
  box->findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// Layouts settle over a few rounds of posted events: a row that wraps asks its card again.
void settle() {
  for (int round = 0; round < 4; ++round) QCoreApplication::processEvents();
}

QString outputPath(const QString& name) {
  const QString dir = test::outputDir() + QStringLiteral("/processes");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

}  // namespace

TEST(ProcessesPage, OpensOnAppsOnlyInTestMode) {
  ProcessesPageRig plain;
  EXPECT_EQ(plain.page->scope(), ProcessScope::mine);
  EXPECT_TRUE(plain.child<QToolButton>("processes.scope.mine")->isChecked());
  ProcessesPageRig testMode({{QStringLiteral("KIVOUITest"), true}});
  EXPECT_EQ(testMode.page->scope(), ProcessScope::apps);
  EXPECT_TRUE(testMode.child<QToolButton>("processes.scope.apps")->isChecked());
}

TEST(ProcessesPage, CountAndRestrictedNoteFollowScope) {
  ProcessesPageRig rig;
  rig.page->show();
  auto* count = rig.child<QLabel>("processes.count");
  auto* note = rig.child<QWidget>("processes.restricted");
  EXPECT_EQ(count->text(), QStringLiteral("0 shown of 0"));
  EXPECT_FALSE(note->isVisibleTo(rig.page.get()));

  rig.ingest(sampleOf(
      {mine(10, QStringLiteral("a")), mine(11, QStringLiteral("b")), theirs(12, QStringLiteral("c"))}, 3));
  EXPECT_EQ(count->text(), QStringLiteral("2 shown of 3"));
  EXPECT_FALSE(note->isVisibleTo(rig.page.get()));
  for (const char* name : {"processes.scope.all", "processes.scope.other"}) {
    rig.child<QToolButton>(name)->click();
    EXPECT_TRUE(note->isVisibleTo(rig.page.get())) << name;
  }
  EXPECT_EQ(count->text(), QStringLiteral("1 shown of 3"));
  rig.child<QToolButton>("processes.scope.apps")->click();
  EXPECT_FALSE(note->isVisibleTo(rig.page.get()));
  EXPECT_EQ(count->text(), QStringLiteral("0 shown of 3"));
}

TEST(ProcessesPage, SelectionAndScrollSurviveEverySample) {
  ProcessesPageRig rig;
  rig.page->show();
  auto sampleWith = [](int shift, int first, int last) {
    std::vector<ProcessRecord> records;
    for (int pid = first; pid <= last; ++pid)
      records.push_back(mine(pid, QStringLiteral("p%1").arg(pid), (pid * 7 + shift) % 97));
    return sampleOf(records);
  };
  rig.ingest(sampleWith(0, 100, 400));
  QTableView* view = rig.page->tableView();
  rig.page->select(250);
  view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
  const int scroll = view->verticalScrollBar()->value();
  ASSERT_GT(scroll, 0);

  test::SignalCount resets(&rig.page->tableModel(), &QAbstractItemModel::modelAboutToBeReset);
  for (int tick = 1; tick <= 5; ++tick) {
    // The CPU figures move every row; some processes end, others start.
    rig.ingest(sampleWith(tick * 13, 100 + tick, 400 + tick));
    EXPECT_EQ(rig.page->selection(), 250);
    EXPECT_EQ(rig.viewSelection(), 250) << tick;
    EXPECT_EQ(view->verticalScrollBar()->value(), scroll);
  }
  EXPECT_EQ(resets.count(), 0);

  // Filtered out, the selection stays and the inspector still follows it; back, it is shown.
  rig.page->setSearch(QStringLiteral("p1"));
  EXPECT_EQ(rig.page->selection(), 250);
  EXPECT_EQ(rig.child<QLabel>("processes.inspector.name")->text(), QStringLiteral("p250"));
  rig.page->setSearch(QString());
  EXPECT_EQ(rig.viewSelection(), 250);

  // A process that ends leaves the inspector with nothing to show.
  rig.ingest(sampleWith(99, 251, 400));
  EXPECT_EQ(rig.page->selection(), 250);
  EXPECT_TRUE(rig.child<QWidget>("processes.inspector.empty")->isVisibleTo(rig.page.get()));

  // A click on a header sorts by that column, keeping the selection.
  rig.page->select(300);
  view->sortByColumn(static_cast<int>(ProcessColumn::name), Qt::AscendingOrder);
  EXPECT_EQ(rig.page->tableModel().rows().front().record.name, QStringLiteral("p251"));
  EXPECT_EQ(rig.viewSelection(), 300);
}

TEST(ProcessesPage, TableModelMovesPersistentIndexesByPid) {
  const ValueFormatter format;
  ProcessTableModel model(format);
  auto rows = [](std::vector<std::int32_t> pids) {
    std::vector<ProcessRow> list;
    for (std::int32_t pid : pids) list.push_back({mine(pid, QStringLiteral("x")), false});
    return list;
  };
  auto next = rows({1, 2, 3, 4, 5});
  model.apply(next);
  const QPersistentModelIndex three = model.index(2, 4);
  const QPersistentModelIndex five = model.index(4, 0);
  next = rows({5, 6, 3, 1});  // 2 and 4 ended, 6 started, new order
  model.apply(next);
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(three.row(), 2);
  EXPECT_EQ(three.column(), 4);
  EXPECT_EQ(five.row(), 0);
  EXPECT_EQ(model.rowOf(6), 1);
  EXPECT_FALSE(model.rowOf(2));
  for (int row = 0; row < 4; ++row) {
    EXPECT_EQ(model.data(model.index(row, 1), Qt::DisplayRole).toString(),
              QString::number(model.rowAt(row)->record.pid));
  }
  next = rows({});
  model.apply(next);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(three.isValid());
}

TEST(ProcessesPage, EntriesDependOnOwnerAndTheMonitorItself) {
  const std::int32_t self = static_cast<std::int32_t>(::getpid());
  ProcessRecord withPath = mine(10, QStringLiteral("tool"));
  withPath.path = QStringLiteral("/usr/bin/tool");
  using E = ProcessEntry;
  struct Case {
    ProcessRecord record;
    std::vector<ProcessEntry> expected;
  };
  const std::vector<Case> cases = {
      {withPath, {E::showInFileManager, E::copyPID, E::quit, E::forceQuit}},
      {mine(11, QStringLiteral("no path")), {E::copyPID, E::quit, E::forceQuit}},
      {theirs(12, QStringLiteral("daemon")), {E::copyPID}},
      {mine(self, QStringLiteral("kivo-monitor")), {E::copyPID}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProcessEntries::entries(c.record, kMe, self), c.expected) << c.record.pid;

  const ProcessRecord editor = mine(410, QStringLiteral("editor"));
  EXPECT_EQ(ProcessEntries::confirmationTitle(ProcessAction::quit, editor),
            QStringLiteral("Quit “editor” (PID 410)?"));
  EXPECT_EQ(ProcessEntries::confirmationTitle(ProcessAction::forceQuit, editor),
            QStringLiteral("Force quit “editor” (PID 410)?"));
  EXPECT_EQ(ProcessEntries::confirmButton(ProcessAction::quit), QStringLiteral("Quit"));
  EXPECT_EQ(ProcessEntries::failureText(editor),
            QStringLiteral("Linux did not allow KIVO Monitor to end “editor”."));

  // The inspector's buttons follow the same entries.
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({withPath, theirs(12, QStringLiteral("daemon"))}));
  rig.page->select(10);
  for (const char* name :
       {"processes.showInFileManager", "processes.copyPID", "processes.quit", "processes.forceQuit"}) {
    EXPECT_TRUE(rig.child<QPushButton>(name)->isVisibleTo(rig.page.get())) << name;
  }
  rig.page->setScope(ProcessScope::all);
  rig.page->select(12);
  EXPECT_TRUE(rig.child<QPushButton>("processes.copyPID")->isVisibleTo(rig.page.get()));
  for (const char* name : {"processes.showInFileManager", "processes.quit", "processes.forceQuit"}) {
    EXPECT_FALSE(rig.child<QPushButton>(name)->isVisibleTo(rig.page.get())) << name;
  }
  rig.child<QPushButton>("processes.copyPID")->click();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("12"));
}

TEST(ProcessesPage, QuitIsConfirmedAndFailureNamesTheProcessAsPlainText) {
  ProcessesPageRig rig;
  rig.page->show();
  const QString hostile = QStringLiteral("<b>evil</b><img src=x>\nline2");
  const ProcessRecord target = mine(4242, hostile);
  rig.ingest(sampleOf({target}));
  rig.page->select(4242);

  // Cancel (the default button) sends nothing.
  whenShown(rig.page.get(), QStringLiteral("processes.confirm"), [](QMessageBox* box) {
    EXPECT_EQ(box->defaultButton()->objectName(), QStringLiteral("processes.confirm.cancel"));
    EXPECT_TRUE(box->windowModality() == Qt::WindowModal);
    click(box, "processes.confirm.cancel");
  });
  rig.child<QPushButton>("processes.quit")->click();
  EXPECT_TRUE(rig.actions->calls.empty());

  // Confirmed: the record the entry was built for, with its start time, even when the next
  // sample arrived while the box was open.
  whenShown(rig.page.get(), QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
    EXPECT_EQ(box->text(), QStringLiteral("Force quit “<b>evil</b><img src=x>\u21B5line2” (PID 4242)?"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->findChild<QPushButton*>(QStringLiteral("processes.confirm.end"))->text(),
              QStringLiteral("Force Quit"));
    rig.ingest(sampleOf({}));
    click(box, "processes.confirm.end");
  });
  rig.child<QPushButton>("processes.forceQuit")->click();
  ASSERT_EQ(rig.actions->calls.size(), 1u);
  EXPECT_EQ(rig.actions->calls[0].action, ProcessAction::forceQuit);
  EXPECT_EQ(rig.actions->calls[0].pid, 4242);
  EXPECT_EQ(rig.actions->calls[0].start, target.startTime);
  EXPECT_FALSE(rig.page->findChild<QMessageBox*>(QStringLiteral("processes.failure")));

  // Refused: the failure box names the process, literally.
  rig.ingest(sampleOf({target}));
  rig.actions->result = false;
  bool failed = false;
  whenShown(rig.page.get(), QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
    whenShown(rig.page.get(), QStringLiteral("processes.failure"), [&](QMessageBox* failure) {
      failed = true;
      EXPECT_EQ(failure->text(), QStringLiteral("Could not end the process"));
      // The fake refused a pid that runs no such process: it has ended.
      EXPECT_EQ(failure->informativeText(),
                QStringLiteral("“<b>evil</b><img src=x>\u21B5line2” has already ended."));
      for (QLabel* label : failure->findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("evil"))) {
          EXPECT_EQ(label->textFormat(), Qt::PlainText);
        }
      }
      failure->findChild<QPushButton*>()->click();
    });
    click(box, "processes.confirm.end");
  });
  rig.child<QPushButton>("processes.quit")->click();
  EXPECT_TRUE(failed);
  ASSERT_EQ(rig.actions->calls.size(), 2u);
  EXPECT_EQ(rig.actions->calls[1].action, ProcessAction::quit);

  // The table and the inspector show the name as it is.
  const QModelIndex cell = rig.page->tableModel().index(0, 0);
  EXPECT_EQ(cell.data().toString(), QStringLiteral("<b>evil</b><img src=x>\u21B5line2"));
  auto* name = rig.child<ElidedLabel>("processes.inspector.name");
  EXPECT_EQ(name->textFormat(), Qt::PlainText);
  EXPECT_EQ(name->fullText(), cell.data().toString());
}

TEST(ProcessesPage, PageClosedWhileTheBoxIsOpenIsNotTouched) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(77, QStringLiteral("victim"))}));
  rig.page->select(77);
  whenShown(rig.page.get(), QStringLiteral("processes.confirm"),
            [&](QMessageBox*) { QTimer::singleShot(0, [&] { rig.page.reset(); }); });
  QPushButton* quit = rig.child<QPushButton>("processes.quit");
  quit->click();
  EXPECT_EQ(rig.page, nullptr);
  EXPECT_TRUE(rig.actions->calls.empty());
}

TEST(ProcessesPage, EndsARealChildThroughTheStartTimeCheck) {
  ModelRig model;
  Icons::initResources();
  ProcessActions actions;
  ProcessesPage page(*model.model, *model.settings, actions);
  page.resize(1100, 700);
  page.show();
  QTableView* view = page.tableView();
  auto* inspectedName = page.findChild<ElidedLabel*>(QStringLiteral("processes.inspector.name"));
  auto* nothingInspected = page.findChild<QWidget*>(QStringLiteral("processes.inspector.empty"));

  QProcess child;
  child.start(QStringLiteral("sleep"), {QStringLiteral("60")});
  ASSERT_TRUE(child.waitForStarted());
  const auto pid = static_cast<std::int32_t>(child.processId());
  const std::optional<QDateTime> start = actions.startTime(pid);
  ASSERT_TRUE(start);
  ProcessRecord record = mine(pid, QStringLiteral("qqzeta"));
  record.startTime = start;
  // Its siblings in the table, by pid: the next one takes its row once it has ended.
  std::vector<ProcessRecord> siblings;
  for (std::int32_t other : {pid - 2, pid - 1, pid + 1})
    siblings.push_back(mine(other, QStringLiteral("qqzeta")));

  auto ingest = [&](std::vector<ProcessRecord> shown, int tick) {
    TelemetrySnapshot snapshot = test::snapshotAt(tick);
    snapshot.processes = sampleOf(std::move(shown));
    model.model->ingest(snapshot);
  };
  auto quitThroughPage = [&] {
    // A quit that succeeds leaves the failure handler waiting: it lets later boxes be.
    auto failed = std::make_shared<bool>(false);
    auto waiting = std::make_shared<bool>(true);
    whenShown(&page, QStringLiteral("processes.confirm"), [&page, failed, waiting](QMessageBox* box) {
      whenShown(&page, QStringLiteral("processes.failure"), [failed, waiting](QMessageBox* failure) {
        if (!*waiting) return;
        *failed = true;
        failure->findChild<QPushButton*>()->click();
      });
      click(box, "processes.confirm.end");
    });
    page.findChild<QPushButton*>(QStringLiteral("processes.quit"))->click();
    *waiting = false;
    return *failed;
  };
  auto highlighted = [&] {
    std::vector<std::int32_t> pids;
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
      pids.push_back(page.tableModel().rowAt(index.row())->record.pid);
    }
    return pids;
  };

  // The same pid with another start time (a reused pid) is refused and left running.
  ProcessRecord reused = record;
  reused.startTime = start->addSecs(-5);
  std::vector<ProcessRecord> all = siblings;
  all.push_back(reused);
  ingest(all, 1);
  page.setSearch(QStringLiteral("qqzeta"));
  view->sortByColumn(static_cast<int>(ProcessColumn::pid), Qt::AscendingOrder);
  page.select(pid);
  EXPECT_TRUE(quitThroughPage());
  EXPECT_FALSE(child.waitForFinished(200));

  all.back() = record;
  ingest(all, 2);
  EXPECT_FALSE(quitThroughPage());
  ASSERT_TRUE(child.waitForFinished(10'000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  EXPECT_EQ(child.exitCode(), SIGTERM);

  // The next sample has no such process: the page keeps its pid, and the view highlights no
  // row rather than the next process, agreeing with the inspector.
  ingest(siblings, 3);
  EXPECT_EQ(page.selection(), pid);
  EXPECT_TRUE(highlighted().empty());
  EXPECT_TRUE(nothingInspected->isVisibleTo(&page));

  // A click on the row now in its place selects that process.
  const std::optional<int> next = page.tableModel().rowOf(pid + 1);
  ASSERT_TRUE(next);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    view->visualRect(page.tableModel().index(*next, 0)).center());
  EXPECT_EQ(page.selection(), pid + 1);
  EXPECT_EQ(highlighted(), std::vector<std::int32_t>{pid + 1});
  EXPECT_FALSE(nothingInspected->isVisibleTo(&page));
  EXPECT_EQ(inspectedName->fullText(), QStringLiteral("qqzeta"));

  // Asked to end the process it already lost, the page says so.
  QString failureText;
  whenShown(&page, QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
    whenShown(&page, QStringLiteral("processes.failure"), [&](QMessageBox* failure) {
      failureText = failure->informativeText();
      failure->findChild<QPushButton*>()->click();
    });
    click(box, "processes.confirm.end");
  });
  page.trigger(ProcessEntry::quit, record);
  EXPECT_EQ(failureText, QStringLiteral("“qqzeta” has already ended."));
}

TEST(ProcessesPage, QuitIgnoredIsToldAndForceQuitOffered) {
  ModelRig model;
  Icons::initResources();
  ProcessActions actions;
  ProcessesPage page(*model.model, *model.settings, actions);
  page.setQuitWait(std::chrono::milliseconds(0));
  page.show();

  // A child that ignores the request to quit (an ignored signal stays ignored across exec).
  QProcess child;
  child.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("trap '' TERM; exec sleep 60")});
  ASSERT_TRUE(child.waitForStarted());
  const auto pid = static_cast<std::int32_t>(child.processId());
  ASSERT_TRUE(test::waitUntil([pid] {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "sleep";
  }));
  ProcessRecord record = mine(pid, QStringLiteral("stubborn"));
  record.startTime = actions.startTime(pid);
  ASSERT_TRUE(record.startTime);
  TelemetrySnapshot snapshot = test::snapshotAt(1);
  snapshot.processes = sampleOf({record});
  model.model->ingest(snapshot);
  page.select(pid);

  bool offered = false;
  whenShown(&page, QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
    whenShown(&page, QStringLiteral("processes.stillRunning"), [&](QMessageBox* still) {
      offered = true;
      EXPECT_EQ(still->text(), QStringLiteral("“stubborn” is still running"));
      click(still, "processes.stillRunning.forceQuit");
    });
    click(box, "processes.confirm.end");
  });
  page.findChild<QPushButton*>(QStringLiteral("processes.quit"))->click();
  ASSERT_TRUE(test::waitUntil([&] { return offered && child.state() == QProcess::NotRunning; }, 20'000));
  EXPECT_EQ(child.exitCode(), SIGKILL);
}

namespace {

// A child that exits when its pipe is closed (at once when `now`) and is never waited for by
// the test until it ends: a zombie, with the test process as its parent.
class ZombieChild {
 public:
  explicit ZombieChild(bool now) {
    int pipe[2];
    if (::pipe(pipe) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(pipe[1]);
      char byte;
      if (!now) (void)!::read(pipe[0], &byte, 1);
      ::_exit(0);
    }
    ::close(pipe[0]);
    release_ = pipe[1];
  }
  ~ZombieChild() {
    exit();
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  std::int32_t pid() const { return static_cast<std::int32_t>(pid_); }
  void exit() {
    if (release_ >= 0) ::close(release_);
    release_ = -1;
  }
  bool isZombie() const {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) == "Z";
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};

}  // namespace

// A process that has exited but whose parent never collects it: shown as ended, and Quit and
// Force Quit say so (naming the parent) instead of signalling it to no effect; no Force Quit is
// offered for it. The same when it ends while the confirmation is open.
TEST(ProcessesPage, AZombieIsSaidToHaveEndedAndItsParentNamed) {
  ModelRig model;
  Icons::initResources();
  ProcessActions actions;
  ProcessesPage page(*model.model, *model.settings, actions);
  page.setQuitWait(std::chrono::milliseconds(0));
  page.resize(1100, 700);
  page.show();
  const auto self = static_cast<std::int32_t>(::getpid());
  const ProcessRecord parent = mine(self, QStringLiteral("qqparent"));
  const auto ingest = [&](std::vector<ProcessRecord> shown, int tick) {
    TelemetrySnapshot snapshot = test::snapshotAt(tick);
    snapshot.processes = sampleOf(std::move(shown));
    model.model->ingest(snapshot);
  };
  const QString expected =
      QStringLiteral("Its parent, “qqparent” (PID %1), has not collected it yet.").arg(self);

  ZombieChild zombie(true);
  ASSERT_GT(zombie.pid(), 0);
  ASSERT_TRUE(test::waitUntil([&] { return zombie.isZombie(); }));
  ProcessRecord record = mine(zombie.pid(), QStringLiteral("qqzombie"));
  record.parentPID = self;
  record.startTime = actions.startTime(zombie.pid());
  ASSERT_TRUE(record.startTime);
  EXPECT_EQ(actions.fate(zombie.pid(), record.startTime).kind, ProcessFate::Kind::uncollected);
  EXPECT_EQ(actions.fate(zombie.pid(), record.startTime).parentPID, self);
  EXPECT_FALSE(actions.perform(ProcessAction::forceQuit, record)) << "nothing to signal";
  record.ended = true;
  record.memory.reset();
  ingest({parent, record}, 1);
  page.select(zombie.pid());
  EXPECT_EQ(ProcessEntries::entries(record, kMe, self).back(), ProcessEntry::quit);
  EXPECT_FALSE(page.findChild<QPushButton*>(QStringLiteral("processes.forceQuit"))->isVisibleTo(&page));
  const std::optional<int> row = page.tableModel().rowOf(zombie.pid());
  ASSERT_TRUE(row);
  EXPECT_EQ(page.tableModel().index(*row, 0).data().toString(), QStringLiteral("qqzombie (ended)"));

  // Quit: no confirmation (a box nobody answers would stall the test), no signal; it has ended
  // and its parent is named.
  const auto endedThrough = [&](const std::function<void()>& start) {
    auto told = std::make_shared<std::pair<QString, QString>>();
    whenShown(&page, QStringLiteral("processes.ended"), [told](QMessageBox* box) {
      *told = {box->text(), box->informativeText()};
      box->findChild<QPushButton*>()->click();
    });
    start();
    EXPECT_TRUE(test::waitUntil([&] { return !told->first.isEmpty(); }));
    EXPECT_FALSE(page.findChild<QMessageBox*>(QStringLiteral("processes.stillRunning")));
    EXPECT_FALSE(page.findChild<QMessageBox*>(QStringLiteral("processes.failure")));
    return *told;
  };
  {
    const auto [title, text] =
        endedThrough([&] { page.findChild<QPushButton*>(QStringLiteral("processes.quit"))->click(); });
    EXPECT_EQ(title, QStringLiteral("“qqzombie” has already ended"));
    EXPECT_TRUE(text.startsWith(expected)) << text.toStdString();
  }
  // Force Quit from a sample taken while it still ran: the same.
  record.ended = false;
  ingest({parent, record}, 2);
  {
    const auto [title, text] = endedThrough([&] { page.trigger(ProcessEntry::forceQuit, record); });
    EXPECT_EQ(title, QStringLiteral("“qqzombie” has already ended"));
    EXPECT_TRUE(text.startsWith(expected)) << text.toStdString();
  }

  // Ends while the confirmation is open: said after the confirmation, for Quit and Force Quit.
  for (const ProcessAction action : {ProcessAction::quit, ProcessAction::forceQuit}) {
    ZombieChild late(false);
    ASSERT_GT(late.pid(), 0);
    ProcessRecord running = mine(late.pid(), QStringLiteral("qqlate"));
    running.parentPID = self;
    ASSERT_TRUE(
        test::waitUntil([&] { return (running.startTime = actions.startTime(late.pid())).has_value(); }));
    ingest({parent, running}, 3);
    QString text;
    bool asked = false;
    whenShown(&page, QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
      asked = true;
      late.exit();
      ASSERT_TRUE(test::waitUntil([&] { return late.isZombie(); }));
      click(box, "processes.confirm.end");
    });
    whenShown(&page, QStringLiteral("processes.ended"), [&](QMessageBox* box) {
      text = box->informativeText();
      box->findChild<QPushButton*>()->click();
    });
    page.trigger(action == ProcessAction::quit ? ProcessEntry::quit : ProcessEntry::forceQuit, running);
    EXPECT_TRUE(test::waitUntil([&] { return !text.isEmpty(); }));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(text.startsWith(expected)) << text.toStdString();
    EXPECT_FALSE(page.findChild<QMessageBox*>(QStringLiteral("processes.stillRunning")));
  }
}

TEST(ProcessesPage, FileManagerFailureAndLongNamesInDialogs) {
  ProcessesPageRig rig;
  rig.page->show();
  struct NoFileManager final : FileManager {
    void showItem(const QString& path, QObject*, std::function<void(bool)> done) override {
      asked = path;
      done(false);
    }
    QString asked;
  };
  auto fake = std::make_unique<NoFileManager>();
  NoFileManager* files = fake.get();
  rig.page->setFileManager(std::move(fake));

  const QString longName = QString(200, u'n') + QStringLiteral("-tail");
  ProcessRecord record = mine(61, longName);
  record.path = QStringLiteral("/opt/tools/") + longName;
  rig.ingest(sampleOf({record}));
  rig.page->select(61);

  QString told;
  whenShown(rig.page.get(), QStringLiteral("processes.noFileManager"), [&](QMessageBox* box) {
    told = box->informativeText();
    box->findChild<QPushButton*>()->click();
  });
  rig.child<QPushButton>("processes.showInFileManager")->click();
  EXPECT_EQ(files->asked, *record.path);
  EXPECT_TRUE(told.startsWith(QStringLiteral("No file manager could show “/opt/tools/nnn")))
      << told.toStdString();

  // The confirmation names the process shortened in the middle, whole in the tooltip, and stays
  // of a bounded width.
  whenShown(rig.page.get(), QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
    EXPECT_LT(box->text().size(), 80);
    EXPECT_TRUE(box->text().contains(QStringLiteral("…")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("-tail”")));
    EXPECT_LE(box->width(), 700);
    bool whole = false;
    for (QLabel* label : box->findChildren<QLabel*>())
      whole = whole || label->toolTip() == plainToolTip(longName);
    EXPECT_TRUE(whole);
    click(box, "processes.confirm.cancel");
  });
  rig.child<QPushButton>("processes.quit")->click();
  EXPECT_TRUE(rig.actions->calls.empty());
}

TEST(ProcessesPage, KeyboardReachesEveryActionFromTheTable) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.page->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.page.get()));
  ProcessRecord alpha = mine(31, QStringLiteral("alpha"), 9.0);
  alpha.path = QStringLiteral("/usr/bin/alpha");
  rig.ingest(
      sampleOf({alpha, mine(32, QStringLiteral("beta"), 5.0), mine(33, QStringLiteral("gamma"), 1.0)}));
  QTableView* view = rig.page->tableView();
  view->setFocus();
  ASSERT_TRUE(view->hasFocus());

  // Home and End go to the first and last row.
  QTest::keyClick(view, Qt::Key_End);
  EXPECT_EQ(rig.page->selection(), 33);
  EXPECT_EQ(rig.viewSelection(), 33);
  QTest::keyClick(view, Qt::Key_Home);
  EXPECT_EQ(rig.page->selection(), 31);

  // Shift+F10 and the Menu key open the menu of the selected row, wherever the pointer is.
  for (const auto& [key, modifiers] :
       {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
    QApplication::clipboard()->clear();
    QStringList titles;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) titles << action->text();
      }
      menu->setActiveAction(menu->actions().at(1));  // Copy PID
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(view, key, modifiers);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Show in File Manager"), QStringLiteral("Copy PID"),
                                   QStringLiteral("Quit…"), QStringLiteral("Force Quit…")}));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("31"));
  }

  // Tab leaves the table (the selection stays) and reaches the inspector's actions.
  // (The offscreen platform gives the window no activation back after a menu.)
  rig.page->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.page.get()));
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Tab);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_FALSE(view->hasFocus());
  EXPECT_EQ(rig.page->selection(), 31);
  auto* copy = rig.child<QPushButton>("processes.copyPID");
  for (int step = 0; step < 20 && QApplication::focusWidget() && QApplication::focusWidget() != copy;
       ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(QApplication::focusWidget(), copy);
  QTest::keyClick(copy, Qt::Key_Space);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("31"));

  // Ctrl+Tab leaves it too, without touching the selection.
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_FALSE(view->hasFocus());
  EXPECT_EQ(rig.viewSelection(), 31);
}

TEST(ProcessesPage, NarrowInspectorCutsNothingOff) {
  ProcessesPageRig rig;
  rig.page->resize(640, 560);
  rig.page->show();
  const QString longName = QString(200, u'w') + QStringLiteral("-end");
  ProcessRecord parent = mine(50, QStringLiteral("parent-") + QString(120, u'p'));
  ProcessRecord record = mine(51, longName);
  record.parentPID = 50;
  record.path = QStringLiteral("/opt/") + longName + QStringLiteral("/bin/") + longName;
  record.cpuTime = 3'725.5;
  record.diskRead = 1'023'456'789;
  record.diskWritten = 987'654'321;
  rig.ingest(sampleOf({parent, record}));
  rig.page->select(51);
  settle();

  auto* inspector = rig.child<ProcessInspector>("processes.inspector");
  ASSERT_TRUE(inspector->isVisibleTo(rig.page.get()));
  EXPECT_EQ(inspector->width(), 230);
  auto* scroll = inspector->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  const int room = scroll->viewport()->width();
  int checked = 0;
  for (Card* card : inspector->findChildren<Card*>()) {
    if (!card->isVisibleTo(inspector)) continue;
    EXPECT_LE(card->mapTo(scroll->viewport(), QPoint(card->width(), 0)).x(), room)
        << card->objectName().toStdString();
    for (QLabel* label : card->findChildren<QLabel*>()) {
      if (!label->isVisibleTo(card) || label->text().isEmpty()) continue;
      const QRect frame(label->mapTo(card, QPoint(0, 0)), label->size());
      EXPECT_TRUE(card->rect().contains(frame)) << label->text().toStdString();
      // Nothing is cut: a label is as wide as its text unless it wraps or elides.
      if (auto* elided = qobject_cast<ElidedLabel*>(label); elided && elided->isElided()) {
        EXPECT_EQ(elided->toolTip(), plainToolTip(elided->fullText()));
      } else if (!label->wordWrap()) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
  auto* name = rig.child<ElidedLabel>("processes.inspector.name");
  EXPECT_LE(name->mapTo(scroll->viewport(), QPoint(name->width(), 0)).x(), room);
  EXPECT_TRUE(name->isElided());
  EXPECT_EQ(name->toolTip(), plainToolTip(longName));
  EXPECT_EQ(name->accessibleName(), longName);
  auto* lineage = rig.child<ElidedLabel>("processes.inspector.lineage");
  EXPECT_TRUE(lineage->fullText().endsWith(QString(120, u'p') + QLatin1Char(')')));
  auto* path = rig.page->findChild<QWidget*>(QStringLiteral("processes.inspector.executable"));
  EXPECT_EQ(path->accessibleName(), *record.path);
  EXPECT_GE(path->height(), path->heightForWidth(path->width()));

  // With nothing to inspect, the narrow page gives the pane's room to the table, which then
  // shows Process, PID, CPU, Memory and User.
  rig.page->resize(860, 560);
  rig.page->select(std::nullopt);
  settle();
  EXPECT_FALSE(inspector->isVisibleTo(rig.page.get()));
  QHeaderView* header = rig.page->tableView()->horizontalHeader();
  const int user = static_cast<int>(ProcessColumn::user);
  EXPECT_LE(header->sectionViewportPosition(user) + header->sectionSize(user),
            rig.page->tableView()->viewport()->width());
}

TEST(ProcessesPage, ColumnsFitAndPowerIsHiddenUntilAsked) {
  ProcessesPageRig rig;
  rig.page->resize(1440, 900);
  rig.page->show();
  rig.ingest(sampleOf({mine(5, QStringLiteral("x"))}));
  QCoreApplication::processEvents();
  QTableView* view = rig.page->tableView();
  QHeaderView* header = view->horizontalHeader();
  const int power = static_cast<int>(ProcessColumn::power);
  EXPECT_TRUE(header->isSectionHidden(power));
  EXPECT_TRUE(rig.page->tableModel()
                  .headerData(power, Qt::Horizontal, Qt::ToolTipRole)
                  .toString()
                  .contains(QStringLiteral("Linux does not measure the power")));
  // The columns fit: no sideways scrolling, and they reach the edge.
  EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
  EXPECT_EQ(header->length(), view->viewport()->width());

  rig.page->setColumnShown(ProcessColumn::power, true);
  QCoreApplication::processEvents();
  EXPECT_FALSE(header->isSectionHidden(power));
  EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
  rig.page->setColumnShown(ProcessColumn::name, false);  // the name always stays
  EXPECT_FALSE(header->isSectionHidden(static_cast<int>(ProcessColumn::name)));

  // Apps with none running says what Apps are.
  auto* empty = rig.child<QLabel>("processes.empty");
  EXPECT_FALSE(empty->isVisibleTo(rig.page.get()));
  rig.page->setScope(ProcessScope::apps);
  EXPECT_TRUE(empty->isVisibleTo(rig.page.get()));
  EXPECT_TRUE(empty->text().startsWith(QStringLiteral("No apps are running.")));
}

// The page beside the sidebar of an 860 pixel window (and narrower): columns that cannot fit are
// left out instead of cut at the edge, every header's tooltip names them, and they come back
// when the window widens.
TEST(ProcessesPage, ColumnsThatCannotFitAreLeftOutAndNamed) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(5, QStringLiteral("x"))}));
  QTableView* view = rig.page->tableView();
  QHeaderView* header = view->horizontalHeader();
  const struct {
    int width;
    QStringList leftOut;
  } cases[] = {
      {644, {QStringLiteral("Threads")}},
      {500, {QStringLiteral("Threads"), QStringLiteral("CPU time"), QStringLiteral("Started")}},
      {1440, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    rig.page->resize(c.width, 560);
    settle();
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_LE(header->length(), view->viewport()->width());
    QStringList hidden;
    for (int column = 0; column < kProcessColumnCount; ++column) {
      const QString title = ProcessRows::columnTitle(static_cast<ProcessColumn>(column));
      if (header->isSectionHidden(column) && column != static_cast<int>(ProcessColumn::power))
        hidden << title;
    }
    EXPECT_EQ(hidden, c.leftOut);
    const QString tip = rig.page->tableModel().headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString();
    for (const QString& title : c.leftOut) EXPECT_TRUE(tip.contains(title)) << tip.toStdString();
    if (c.leftOut.isEmpty()) {
      EXPECT_TRUE(tip.isEmpty()) << tip.toStdString();
    }
  }
  // The user's own choice of columns still holds: Power stays hidden at every width.
  EXPECT_TRUE(header->isSectionHidden(static_cast<int>(ProcessColumn::power)));
  EXPECT_FALSE(rig.page->columnShown(ProcessColumn::power));
  EXPECT_TRUE(rig.page->columnShown(ProcessColumn::threads));
}

TEST(ProcessesPage, HeaderMenuTicksTheShownColumnsAndTogglesTheChosenOne) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(5, QStringLiteral("x"))}));
  QHeaderView* header = rig.page->tableView()->horizontalHeader();
  const int power = static_cast<int>(ProcessColumn::power);
  const QString powerTitle = ProcessRows::columnTitle(ProcessColumn::power);

  // Each round opens the header's menu, reads its ticks and chooses Power.
  for (const bool shownAfter : {true, false}) {
    QStringList titles;
    QStringList ticked;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QAction* choice = nullptr;
      for (QAction* action : menu->actions()) {
        titles << action->text();
        if (action->isChecked()) ticked << action->text();
        if (action->text() == powerTitle) choice = action;
      }
      ASSERT_NE(choice, nullptr);
      menu->setActiveAction(choice);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    emit header->customContextMenuRequested(QPoint(10, 5));
    // The name is never offered; every other column is, ticked while it is shown.
    EXPECT_FALSE(titles.contains(ProcessRows::columnTitle(ProcessColumn::name)));
    EXPECT_EQ(titles.size(), kProcessColumnCount - 1);
    EXPECT_EQ(ticked.contains(powerTitle), !shownAfter);
    EXPECT_TRUE(ticked.contains(ProcessRows::columnTitle(ProcessColumn::cpu)));
    EXPECT_EQ(header->isSectionHidden(power), !shownAfter);
    EXPECT_EQ(rig.page->columnShown(ProcessColumn::power), shownAfter);
  }
}

TEST(ProcessesPage, InspectorKeepsItsOwnHundredTwentyPoints) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(5, QStringLiteral("worker"), 1.0), mine(6, QStringLiteral("other"), 2.0)}));
  rig.page->select(5);
  EXPECT_TRUE(rig.page->history().cpu().empty());  // starts empty, first point with the next sample
  for (int i = 0; i < 130; ++i) {
    ProcessRecord worker = mine(5, QStringLiteral("worker"), i);
    worker.memory = static_cast<std::uint64_t>(1000 + i);
    // The interval stays the same: every new sample still adds a point.
    rig.ingest(sampleOf({worker, mine(6, QStringLiteral("other"), 2.0)}, 0, 2.0));
  }
  EXPECT_EQ(rig.page->history().cpu().size(), 120u);
  EXPECT_EQ(rig.page->history().memory().size(), 120u);
  EXPECT_EQ(rig.page->history().cpu().back().value, 129);
  EXPECT_EQ(rig.child<Sparkline>("processes.inspector.cpuHistory")->values().size(), 120u);

  rig.page->select(6);
  EXPECT_TRUE(rig.page->history().cpu().empty());
}

TEST(ProcessesPage, InspectorWidthFollowsThePage) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(5, QStringLiteral("worker"))}));
  rig.page->select(5);
  auto* inspector = rig.child<ProcessInspector>("processes.inspector");
  const std::vector<std::pair<int, std::optional<int>>> cases = {
      {639, std::nullopt}, {640, 230}, {1000, 320}};
  for (const auto& [width, expected] : cases) {
    rig.page->resize(width, 500);
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.page->width(), width);
    EXPECT_EQ(inspector->isVisibleTo(rig.page.get()), expected.has_value()) << width;
    if (expected) {
      EXPECT_EQ(inspector->width(), *expected) << width;
    }
  }
  rig.child<QToolButton>("processes.inspectorToggle")->click();
  EXPECT_FALSE(inspector->isVisibleTo(rig.page.get()));
}

TEST(ProcessesPage, PrivacyMaskHidesUsersAndPaths) {
  ProcessesPageRig rig;
  rig.page->show();
  ProcessRecord record = mine(8, QStringLiteral("tool"));
  record.path = QDir::homePath() + QStringLiteral("/bin/tool");
  rig.ingest(sampleOf({record}));
  rig.page->select(8);
  auto* path = rig.page->findChild<QWidget*>(QStringLiteral("processes.inspector.executable"));
  EXPECT_EQ(path->property("plainText").toString(), QStringLiteral("~/bin/tool"));
  const QModelIndex user = rig.page->tableModel().index(0, static_cast<int>(ProcessColumn::user));
  EXPECT_EQ(user.data().toString(), QStringLiteral("ada"));
  rig.settings->setPrivacyMask(true);
  EXPECT_EQ(user.data().toString(), QStringLiteral("•••"));
  EXPECT_EQ(path->property("plainText").toString(), QStringLiteral("•••"));
}

TEST(ProcessesPage, Screenshots) {
  std::vector<ProcessRecord> records;
  const char* names[] = {"firefox",     "gnome-shell", "Xwayland", "pipewire", "code",
                         "bash",        "systemd",     "sshd",     "postgres", "kworker/0:1",
                         "dbus-daemon", "cc1plus",     "ninja",    "python3",  "<b>odd</b>\nname"};
  for (int i = 0; i < 45; ++i) {
    const bool other = i % 4 == 3;
    ProcessRecord record = other ? theirs(200 + i * 37, QString::fromUtf8(names[i % 15]), (i * 13) % 47 / 3.0)
                                 : mine(200 + i * 37, QString::fromUtf8(names[i % 15]), (i * 13) % 47 / 3.0);
    record.memory = static_cast<std::uint64_t>(i + 1) * 23'456'789;
    record.threads = 1 + i % 30;
    record.path = QStringLiteral("/usr/bin/") + record.name;
    if (i % 9 == 4) record.cpuPercent.reset();
    records.push_back(record);
  }
  // The inspected process has a hostile 200-character name and path.
  records[4].name = QStringLiteral("renderer-") + QString(191, u'x');
  records[4].path = QStringLiteral("/opt/") + records[4].name + QStringLiteral("/bin/") + records[4].name;
  for (bool dark : {false, true}) {
    for (QSize size : {QSize(860, 560), QSize(1440, 900)}) {
      ProcessesPageRig rig;
      rig.page->setPalette(Appearance::palette(dark));
      rig.page->resize(size);
      rig.page->show();
      rig.page->setScope(ProcessScope::all);
      for (int tick = 0; tick < 12; ++tick) {
        for (ProcessRecord& record : records) {
          if (record.cpuPercent) record.cpuPercent = std::fmod(*record.cpuPercent * 1.3 + tick, 60.0);
          if (record.memory) *record.memory += 500'000;
        }
        rig.ingest(sampleOf(records, 11));
        if (tick == 0) rig.page->select(records[4].pid);
      }
      const QString name = QStringLiteral("page-%1-%2x%3.png")
                               .arg(dark ? QStringLiteral("dark") : QStringLiteral("light"))
                               .arg(size.width())
                               .arg(size.height());
      settle();
      EXPECT_TRUE(rig.page->grab().save(outputPath(name)));
      if (!dark && size.width() == 860) {
        rig.page->select(std::nullopt);
        settle();
        EXPECT_TRUE(rig.page->grab().save(outputPath(QStringLiteral("page-empty-light.png"))));
      }
    }
  }
}

// Names built to mislead, as a person sees them: the table and the quit dialog, light and dark.
TEST(ProcessesPage, HostileNameScreenshots) {
  std::vector<ProcessRecord> records = {
      mine(26663, QStringLiteral("rtl\u202Etxt.exe"), 12.5),
      mine(26664, QStringLiteral("\u202Eabc"), 9.0),
      mine(26665, QStringLiteral("\u05E9\u05DC\u05D5\u05DD 2"), 7.0),
      mine(26666, QStringLiteral("   "), 5.0),
      mine(26667, QString(), 4.0),
      mine(26668, QStringLiteral("firefox"), 3.0),
  };
  records[0].path = QStringLiteral("/tmp/rtl\u202Etxt.exe");
  ProcessRecord zombie = mine(26669, QStringLiteral("defunct-child"), 0.0);
  zombie.ended = true;
  zombie.memory.reset();
  records.push_back(zombie);
  for (bool dark : {false, true}) {
    const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
    ProcessesPageRig rig;
    rig.page->setPalette(Appearance::palette(dark));
    rig.page->resize(1100, 560);
    rig.page->show();
    rig.ingest(sampleOf(records));
    rig.page->select(26663);
    settle();
    EXPECT_TRUE(rig.page->grab().save(outputPath(QStringLiteral("hostile-table-%1.png").arg(look))));
    whenShown(rig.page.get(), QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
      EXPECT_EQ(box->text(), QStringLiteral("Quit \u201Crtl\u2039U+202E\u203Atxt.exe\u201D (PID 26663)?"));
      EXPECT_TRUE(box->grab().save(outputPath(QStringLiteral("hostile-quit-%1.png").arg(look))));
      click(box, "processes.confirm.cancel");
    });
    rig.child<QPushButton>("processes.quit")->click();
  }
}

TEST(ProcessesPage, ContextMenuHoldsTheRecordOfTheRowClicked) {
  ProcessesPageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(21, QStringLiteral("first"), 9.0), theirs(22, QStringLiteral("second"), 1.0)}));
  rig.page->setScope(ProcessScope::all);
  QTableView* view = rig.page->tableView();
  const QPoint second = view->visualRect(rig.page->tableModel().index(1, 0)).center();

  QStringList titles;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions())
      titles << (action->isSeparator() ? QStringLiteral("|") : action->text());
    // A new sample reorders the rows while the menu is open; the entry still acts on pid 22.
    rig.ingest(
        sampleOf({mine(21, QStringLiteral("first"), 0.0), theirs(22, QStringLiteral("second"), 50.0)}));
    menu->setActiveAction(menu->actions().back());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &enter);
  });
  emit view->customContextMenuRequested(second);
  EXPECT_EQ(titles, QStringList{QStringLiteral("Copy PID")});
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("22"));

  // An empty area offers no menu at all.
  bool opened = false;
  QTimer::singleShot(0, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      opened = true;
      popup->close();
    }
  });
  emit view->customContextMenuRequested(QPoint(5, view->viewport()->height() - 5));
  QCoreApplication::processEvents();
  EXPECT_FALSE(opened);
}

TEST(ProcessesPage, ProcessWithoutStatisticsShowsTheRestrictedCard) {
  ProcessesPageRig rig;
  rig.page->show();
  ProcessRecord hidden = theirs(30, QStringLiteral("daemon"), std::nullopt);
  hidden.hasStatistics = false;
  rig.ingest(sampleOf({hidden}, 1));
  rig.page->setScope(ProcessScope::other);
  rig.page->select(30);
  rig.ingest(sampleOf({hidden}, 1));
  EXPECT_TRUE(rig.child<QWidget>("processes.inspector.restricted")->isVisibleTo(rig.page.get()));
  EXPECT_FALSE(rig.child<QWidget>("processes.inspector.details")->isVisibleTo(rig.page.get()));
  EXPECT_TRUE(rig.page->findChild<QWidget*>(QStringLiteral("processes.inspector.executable"))
                  ->isVisibleTo(rig.page.get()));
  EXPECT_TRUE(rig.page->history().memory().empty());
  const QModelIndex memory = rig.page->tableModel().index(0, static_cast<int>(ProcessColumn::memory));
  EXPECT_EQ(memory.data().toString(), QStringLiteral("—"));
}
