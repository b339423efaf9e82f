#include "features/processes/ProcessSelection.h"

#include "features/processes/ProcessTableModel.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace kivo {

ProcessSelection::ProcessSelection(QTableView& view, ProcessTableModel& table, QObject* parent)
    : QObject(parent), view_(view), table_(table) {
  connect(view_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { onViewSelection(); });
}

void ProcessSelection::apply(std::vector<ProcessRow>& rows) {
  updating_ = true;
  table_.apply(rows);
  updating_ = false;
  sync();
}

void ProcessSelection::sync() {
  // The highlight is on the selected pid's row, or on no row while that process is not listed:
  // never on another process, and a click on any row is then a change the view reports.
  QItemSelectionModel* selection = view_.selectionModel();
  const std::optional<int> row = pid_ ? table_.rowOf(*pid_) : std::nullopt;
  const QModelIndexList selected = selection->selectedRows();
  const bool matches = row ? (selected.size() == 1 && selected.front().row() == *row) : selected.isEmpty();
  if (matches) return;
  updating_ = true;
  if (row) {
    selection->setCurrentIndex(table_.index(*row, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selection->clearSelection();
  }
  updating_ = false;
}

void ProcessSelection::select(std::optional<std::int32_t> pid) {
  if (pid == pid_) return;
  pid_ = pid;
  sync();
  emit changed(pid_);
}

void ProcessSelection::onViewSelection() {
  if (updating_) return;
  const QModelIndexList selected = view_.selectionModel()->selectedRows();
  std::optional<std::int32_t> pid;
  if (!selected.isEmpty()) {
    if (const ProcessRow* row = table_.rowAt(selected.front().row())) pid = row->record.pid;
  }
  if (pid == pid_) return;
  pid_ = pid;
  emit changed(pid_);
}

}  // namespace kivo
