#pragma once

#include "features/processes/ProcessRows.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kivo {

class ValueFormatter;

// The process table's rows, kept by pid. Each sample is applied in place: rows that went away
// are removed, new ones appended, the rest reordered through a layout change that carries every
// persistent index (the selection, the current row) to its pid's new place, and all cells are
// announced changed at once. No model reset, so selection and scrolling survive every tick.
class ProcessTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The formatter must outlive the model.
  explicit ProcessTableModel(const ValueFormatter& format, QObject* parent = nullptr);

  // Takes the new rows (already filtered and sorted); `rows` gets the previous storage back, so
  // the caller can reuse it for the next sample.
  void apply(std::vector<ProcessRow>& rows);
  void setPrivacyMask(bool mask);
  // Titles of the columns left out for width, named in every header's tooltip.
  void setLeftOut(const QStringList& titles);

  const std::vector<ProcessRow>& rows() const { return rows_; }
  // The row of a pid; absent when it is not listed.
  std::optional<int> rowOf(std::int32_t pid) const;
  const ProcessRow* rowAt(int row) const;

  // Sorting is the page's: a header click is handed on.
  std::function<void(int column, Qt::SortOrder order)> onSort;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // Role of the isApp flag (a bool) for the name column's delegate.
  static constexpr int kIsAppRole = Qt::UserRole + 1;

 private:
  void reindex();

  const ValueFormatter& format_;
  bool mask_ = false;
  QStringList leftOut_;
  std::vector<ProcessRow> rows_;
  std::unordered_map<std::int32_t, int> index_;  // pid -> row in rows_
  std::unordered_map<std::int32_t, int> next_;   // pid -> row in the incoming rows
};

}  // namespace kivo
