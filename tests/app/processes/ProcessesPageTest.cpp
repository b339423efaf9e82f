#include "ProcessFixtures.h"
#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Icons.h"
#include "design/Sparkline.h"
#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessInspector.h"
#include "features/processes/ProcessTableModel.h"
#include "features/processes/ProcessesPage.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

#include <functional>
#include <memory>

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

struct PageRig {
  explicit PageRig(QMap<QString, QVariant> arguments = {}) : rig(std::move(arguments)) {
    Icons::initResources();
    auto fake = std::make_unique<FakeActions>();
    actions = fake.get();
    rig.model->desktop().processActions = std::move(fake);
    page = std::make_unique<ProcessesPage>(*rig.model, *rig.settings);
    page->setProcRoot(emptyProc.path().toStdString());
    page->resize(1100, 700);
  }
  ~PageRig() { page.reset(); }

  void ingest(ProcessSample sample, double seconds = 0) {
    TelemetrySnapshot snapshot = test::snapshotAt(seconds > 0 ? seconds : ++tick);
    snapshot.processes = std::move(sample);
    rig.model->ingest(snapshot);
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

  ModelRig rig;
  QTemporaryDir emptyProc;
  FakeActions* actions = nullptr;
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

QString outputPath(const QString& name) {
  const QString dir = test::outputDir() + QStringLiteral("/processes");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

}  // namespace

TEST(ProcessesPage, OpensOnAppsOnlyInTestMode) {
  PageRig plain;
  EXPECT_EQ(plain.page->scope(), ProcessScope::mine);
  EXPECT_TRUE(plain.child<QToolButton>("processes.scope.mine")->isChecked());
  PageRig testMode({{QStringLiteral("KIVOUITest"), true}});
  EXPECT_EQ(testMode.page->scope(), ProcessScope::apps);
  EXPECT_TRUE(testMode.child<QToolButton>("processes.scope.apps")->isChecked());
}

TEST(ProcessesPage, CountAndRestrictedNoteFollowScope) {
  PageRig rig;
  rig.page->show();
  auto* count = rig.child<QLabel>("processes.count");
  auto* note = rig.child<QWidget>("processes.restricted");
  EXPECT_EQ(count->text(), QStringLiteral("0 shown of 0"));
  EXPECT_FALSE(note->isVisibleTo(rig.page.get()));

  rig.ingest(sampleOf({mine(10, QStringLiteral("a")), mine(11, QStringLiteral("b")), theirs(12, QStringLiteral("c"))}, 3));
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
  PageRig rig;
  rig.page->show();
  auto sampleWith = [](int shift, int first, int last) {
    std::vector<ProcessRecord> records;
    for (int pid = first; pid <= last; ++pid) records.push_back(mine(pid, QStringLiteral("p%1").arg(pid), (pid * 7 + shift) % 97));
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
  for (const Case& c : cases) EXPECT_EQ(ProcessEntries::entries(c.record, kMe, self), c.expected) << c.record.pid;

  const ProcessRecord editor = mine(410, QStringLiteral("editor"));
  EXPECT_EQ(ProcessEntries::confirmationTitle(ProcessAction::quit, editor), QStringLiteral("Quit “editor” (PID 410)?"));
  EXPECT_EQ(ProcessEntries::confirmationTitle(ProcessAction::forceQuit, editor),
            QStringLiteral("Force quit “editor” (PID 410)?"));
  EXPECT_EQ(ProcessEntries::confirmButton(ProcessAction::quit), QStringLiteral("Quit"));
  EXPECT_EQ(ProcessEntries::failureText(editor), QStringLiteral("Linux did not allow KIVO Monitor to end “editor”."));

  // The inspector's buttons follow the same entries.
  PageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({withPath, theirs(12, QStringLiteral("daemon"))}));
  rig.page->select(10);
  for (const char* name : {"processes.showInFileManager", "processes.copyPID", "processes.quit", "processes.forceQuit"}) {
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
  PageRig rig;
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
    EXPECT_EQ(box->findChild<QPushButton*>(QStringLiteral("processes.confirm.end"))->text(), QStringLiteral("Force Quit"));
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
      EXPECT_EQ(failure->informativeText(),
                QStringLiteral("Linux did not allow KIVO Monitor to end “<b>evil</b><img src=x>\u21B5line2”."));
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
  auto* name = rig.child<QLabel>("processes.inspector.name");
  EXPECT_EQ(name->textFormat(), Qt::PlainText);
  EXPECT_EQ(name->text(), cell.data().toString());
}

TEST(ProcessesPage, PageClosedWhileTheBoxIsOpenIsNotTouched) {
  PageRig rig;
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
  ProcessesPage page(*model.model, *model.settings);
  page.show();
  ProcessActions& actions = *model.model->desktop().processActions;

  QProcess child;
  child.start(QStringLiteral("sleep"), {QStringLiteral("60")});
  ASSERT_TRUE(child.waitForStarted());
  const auto pid = static_cast<std::int32_t>(child.processId());
  const std::optional<QDateTime> start = actions.startTime(pid);
  ASSERT_TRUE(start);
  ProcessRecord record = mine(pid, QStringLiteral("sleep"));
  record.startTime = start;

  auto ingest = [&](const ProcessRecord& shown, int tick) {
    TelemetrySnapshot snapshot = test::snapshotAt(tick);
    snapshot.processes = sampleOf({shown});
    model.model->ingest(snapshot);
  };
  auto quitThroughPage = [&] {
    bool failed = false;
    whenShown(&page, QStringLiteral("processes.confirm"), [&](QMessageBox* box) {
      whenShown(&page, QStringLiteral("processes.failure"), [&](QMessageBox* failure) {
        failed = true;
        failure->findChild<QPushButton*>()->click();
      });
      click(box, "processes.confirm.end");
    });
    page.findChild<QPushButton*>(QStringLiteral("processes.quit"))->click();
    return failed;
  };

  // The same pid with another start time (a reused pid) is refused and left running.
  ProcessRecord reused = record;
  reused.startTime = start->addSecs(-5);
  ingest(reused, 1);
  page.select(pid);
  EXPECT_TRUE(quitThroughPage());
  EXPECT_FALSE(child.waitForFinished(200));

  ingest(record, 2);
  EXPECT_FALSE(quitThroughPage());
  ASSERT_TRUE(child.waitForFinished(10'000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  EXPECT_EQ(child.exitCode(), SIGTERM);
}

TEST(ProcessesPage, InspectorKeepsItsOwnHundredTwentyPoints) {
  PageRig rig;
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
  PageRig rig;
  rig.page->show();
  auto* inspector = rig.child<ProcessInspector>("processes.inspector");
  const std::vector<std::pair<int, std::optional<int>>> cases = {{639, std::nullopt}, {640, 230}, {1000, 320}};
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
  PageRig rig;
  rig.page->show();
  ProcessRecord record = mine(8, QStringLiteral("tool"));
  record.path = QDir::homePath() + QStringLiteral("/bin/tool");
  rig.ingest(sampleOf({record}));
  rig.page->select(8);
  auto* path = rig.page->findChild<QWidget*>(QStringLiteral("processes.inspector.executable"));
  EXPECT_EQ(path->property("plainText").toString(), QStringLiteral("~/bin/tool"));
  const QModelIndex user = rig.page->tableModel().index(0, static_cast<int>(ProcessColumn::user));
  EXPECT_EQ(user.data().toString(), QStringLiteral("ada"));
  rig.rig.settings->setPrivacyMask(true);
  EXPECT_EQ(user.data().toString(), QStringLiteral("•••"));
  EXPECT_EQ(path->property("plainText").toString(), QStringLiteral("•••"));
}

TEST(ProcessesPage, Screenshots) {
  std::vector<ProcessRecord> records;
  const char* names[] = {"firefox", "gnome-shell", "Xwayland", "pipewire", "code", "bash", "systemd", "sshd",
                         "postgres", "kworker/0:1", "dbus-daemon", "cc1plus", "ninja", "python3", "<b>odd</b>\nname"};
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
  for (bool dark : {false, true}) {
    for (QSize size : {QSize(860, 560), QSize(1600, 1000)}) {
      PageRig rig;
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
      QCoreApplication::processEvents();
      EXPECT_TRUE(rig.page->grab().save(outputPath(name)));
      if (!dark && size.width() == 860) {
        rig.page->select(std::nullopt);
        QCoreApplication::processEvents();
        EXPECT_TRUE(rig.page->grab().save(outputPath(QStringLiteral("page-empty-light.png"))));
      }
    }
  }
}

TEST(ProcessesPage, ContextMenuHoldsTheRecordOfTheRowClicked) {
  PageRig rig;
  rig.page->show();
  rig.ingest(sampleOf({mine(21, QStringLiteral("first"), 9.0), theirs(22, QStringLiteral("second"), 1.0)}));
  rig.page->setScope(ProcessScope::all);
  QTableView* view = rig.page->tableView();
  const QPoint second = view->visualRect(rig.page->tableModel().index(1, 0)).center();

  QStringList titles;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) titles << (action->isSeparator() ? QStringLiteral("|") : action->text());
    // A new sample reorders the rows while the menu is open; the entry still acts on pid 22.
    rig.ingest(sampleOf({mine(21, QStringLiteral("first"), 0.0), theirs(22, QStringLiteral("second"), 50.0)}));
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
  PageRig rig;
  rig.page->show();
  ProcessRecord hidden = theirs(30, QStringLiteral("daemon"), std::nullopt);
  hidden.hasStatistics = false;
  rig.ingest(sampleOf({hidden}, 1));
  rig.page->setScope(ProcessScope::other);
  rig.page->select(30);
  rig.ingest(sampleOf({hidden}, 1));
  EXPECT_TRUE(rig.child<QWidget>("processes.inspector.restricted")->isVisibleTo(rig.page.get()));
  EXPECT_FALSE(rig.child<QWidget>("processes.inspector.details")->isVisibleTo(rig.page.get()));
  EXPECT_TRUE(rig.page->findChild<QWidget*>(QStringLiteral("processes.inspector.executable"))->isVisibleTo(rig.page.get()));
  EXPECT_TRUE(rig.page->history().memory().empty());
  const QModelIndex memory = rig.page->tableModel().index(0, static_cast<int>(ProcessColumn::memory));
  EXPECT_EQ(memory.data().toString(), QStringLiteral("—"));
}
