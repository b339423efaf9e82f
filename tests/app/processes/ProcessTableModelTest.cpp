#include "ProcessFixtures.h"
#include "features/processes/ProcessTableModel.h"
#include "metrics/ValueFormatter.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

namespace kivo {
namespace {

// What the model tester found wrong: it says so as warnings of its own logging category.
class ModelTesterComplaints {
 public:
  ModelTesterComplaints() {
    list().clear();
    previous_ = qInstallMessageHandler(&ModelTesterComplaints::handle);
  }
  ~ModelTesterComplaints() { qInstallMessageHandler(previous_); }
  ModelTesterComplaints(const ModelTesterComplaints&) = delete;
  ModelTesterComplaints& operator=(const ModelTesterComplaints&) = delete;

  static QStringList& list() {
    static QStringList complaints;
    return complaints;
  }

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtDebugMsg && context.category && std::strcmp(context.category, "qt.modeltest") == 0)
      list().append(text);
  }
  QtMessageHandler previous_ = nullptr;
};

// Samples of random size and order over a small set of pids (so processes end, start and move
// between any two), with an index held on one row across each, under the model tester.
TEST(ProcessTableModel, RandomSamplesKeepTheModelSoundAndHeldIndexesOnTheirProcess) {
  const ValueFormatter format;
  ProcessTableModel model(format);
  ModelTesterComplaints complaints;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  std::mt19937 random(20261211);
  auto below = [&](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };
  std::vector<std::int32_t> pids(40);
  std::iota(pids.begin(), pids.end(), 100);

  for (int round = 0; round < 400; ++round) {
    std::optional<std::pair<QPersistentModelIndex, std::int32_t>> held;
    if (model.rowCount() > 0) {
      const int row = below(model.rowCount());
      held.emplace(model.index(row, below(kProcessColumnCount)), model.rowAt(row)->record.pid);
    }
    std::shuffle(pids.begin(), pids.end(), random);
    const int count = below(static_cast<int>(pids.size()) + 1);
    std::vector<ProcessRow> rows;
    for (int i = 0; i < count; ++i) {
      const std::int32_t pid = pids[static_cast<std::size_t>(i)];
      rows.push_back({test::process(pid, QStringLiteral("p%1").arg(pid), below(1000) / 10.0), below(2) == 1});
    }
    model.apply(rows);

    ASSERT_EQ(model.rowCount(), count) << "round " << round;
    for (int row = 0; row < count; ++row) {
      const std::int32_t pid = pids[static_cast<std::size_t>(row)];
      ASSERT_EQ(model.rowAt(row)->record.pid, pid) << "round " << round;
      ASSERT_EQ(model.rowOf(pid), row) << "round " << round;
    }
    if (held) {
      const auto& [index, pid] = *held;
      if (const auto row = model.rowOf(pid)) {
        EXPECT_EQ(index.row(), *row) << "round " << round;
      } else {
        EXPECT_FALSE(index.isValid()) << "round " << round << ": its process is gone";
      }
    }
    if (round % 37 == 0) model.setPrivacyMask(round % 74 == 0);
    if (round % 53 == 0)
      model.setLeftOut(round % 106 == 0 ? QStringList{} : QStringList{QStringLiteral("Threads")});
  }
  EXPECT_TRUE(complaints.list().isEmpty()) << complaints.list().join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace kivo
