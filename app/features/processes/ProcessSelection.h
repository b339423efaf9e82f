#pragma once

#include "features/processes/ProcessRows.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <vector>

class QTableView;

namespace kivo {

class ProcessTableModel;

// The selected pid of the process table and the view's highlight, kept in step: new rows are
// applied through here, so changes the view makes on its own while rows move are not taken for
// the user's choice.
class ProcessSelection : public QObject {
  Q_OBJECT

 public:
  ProcessSelection(QTableView& view, ProcessTableModel& table, QObject* parent = nullptr);

  std::optional<std::int32_t> pid() const { return pid_; }
  // Selects a pid as a click on its row would; changed() when it differs.
  void select(std::optional<std::int32_t> pid);
  // Puts the next rows into the table (the old storage comes back in `rows`).
  void apply(std::vector<ProcessRow>& rows);

 signals:
  void changed(std::optional<std::int32_t> pid);

 private:
  void sync();
  void onViewSelection();

  QTableView& view_;
  ProcessTableModel& table_;
  std::optional<std::int32_t> pid_;
  bool updating_ = false;
};

}  // namespace kivo
