#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QThread>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::ModelRig;

TEST(ModelQuery, RunsOnTheWorkerAfterEarlierActionsAndAnswersOnTheGuiThread) {
  ModelRig rig;
  MonitorModel& model = *rig.model;
  model.addBookmark(QStringLiteral("asked before"));
  QObject page;
  QThread* jobThread = nullptr;
  QThread* doneThread = nullptr;
  std::optional<std::size_t> answer;
  model.query(
      &page,
      [&jobThread](TimeSeriesStore& store) {
        jobThread = QThread::currentThread();
        return store.events({EventKind::bookmark}, StoreTime::distantPast(), StoreTime::distantFuture(), 10)
            .size();
      },
      [&](std::size_t count) {
        doneThread = QThread::currentThread();
        answer = count;
      });
  EXPECT_FALSE(answer);  // never at once
  model.waitForWorker();
  ASSERT_EQ(answer, 1u);  // the bookmark given first was stored first
  EXPECT_NE(jobThread, QThread::currentThread());
  EXPECT_EQ(doneThread, QThread::currentThread());
}

TEST(ModelQuery, AnAnswerForAPageOrAModelThatIsGoneIsDropped) {
  ModelRig rig;
  int answers = 0;
  auto page = std::make_unique<QObject>();
  rig.model->query(
      page.get(), [](TimeSeriesStore&) { return 1; }, [&](int) { ++answers; });
  page.reset();
  rig.model->waitForWorker();
  EXPECT_EQ(answers, 0);

  QObject other;
  rig.model->query(
      &other, [](TimeSeriesStore& store) { return store.statistics().events; },
      [&](std::int64_t) { ++answers; });
  rig.model.reset();  // the job still runs as the worker ends; its answer has nobody to go to
  QCoreApplication::processEvents();
  EXPECT_EQ(answers, 0);
}

TEST(ModelQuery, WithoutAHistoryTheJobDoesNotRunAndTheAnswerIsEmpty) {
  test::ModelWithoutHistory rig;
  MonitorModel& model = rig.model;
  ASSERT_FALSE(model.hasHistory());
  bool ran = false;
  std::optional<QString> answer;
  model.query(
      &model,
      [&ran](TimeSeriesStore&) {
        ran = true;
        return QStringLiteral("from the store");
      },
      [&](QString text) { answer = text; });
  model.waitForWorker();
  EXPECT_FALSE(ran);
  EXPECT_EQ(answer, QString());
}

TEST(ModelNotifications, TheStatusSignalFollowsTheNotifiersPermission) {
  ModelRig rig;
  test::SignalCount changes(rig.model.get(), &MonitorModel::notificationStatusChanged);
  test::FakeNotifier notifier(NotificationStatus::denied);
  rig.model->setNotifier(&notifier);  // notDetermined without one, denied with this one
  EXPECT_EQ(changes.count(), 1);
  notifier.next = NotificationStatus::authorized;
  notifier.refreshStatus();
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(rig.model->notificationStatus(), NotificationStatus::authorized);
  notifier.refreshStatus();  // read again, unchanged
  EXPECT_EQ(changes.count(), 2);
  rig.model->setNotifier(nullptr);
  EXPECT_EQ(changes.count(), 3);
  EXPECT_EQ(rig.model->notificationStatus(), NotificationStatus::notDetermined);
  notifier.next = NotificationStatus::denied;
  notifier.refreshStatus();  // no longer the model's
  EXPECT_EQ(changes.count(), 3);
}

}  // namespace
}  // namespace kivo
