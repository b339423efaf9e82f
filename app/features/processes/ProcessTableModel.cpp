#include "features/processes/ProcessTableModel.h"

#include "metrics/ValueFormatter.h"
#include "texts/Localized.h"

#include <utility>

namespace kivo {

ProcessTableModel::ProcessTableModel(const ValueFormatter& format, QObject* parent)
    : QAbstractTableModel(parent), format_(format) {}

void ProcessTableModel::reindex() {
  index_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) index_[rows_[i].record.pid] = static_cast<int>(i);
}

void ProcessTableModel::apply(std::vector<ProcessRow>& rows) {
  next_.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) next_[rows[i].record.pid] = static_cast<int>(i);

  // Rows whose process went away (or left the scope or search), removed in runs from the end.
  int end = static_cast<int>(rows_.size());
  while (end > 0) {
    if (next_.contains(rows_[static_cast<std::size_t>(end - 1)].record.pid)) {
      --end;
      continue;
    }
    int first = end - 1;
    while (first > 0 && !next_.contains(rows_[static_cast<std::size_t>(first - 1)].record.pid)) --first;
    beginRemoveRows({}, first, end - 1);
    rows_.erase(rows_.begin() + first, rows_.begin() + end);
    endRemoveRows();
    end = first;
  }
  reindex();

  // New processes, appended in one go; their place comes with the reorder below.
  int added = 0;
  for (const ProcessRow& row : rows) added += index_.contains(row.record.pid) ? 0 : 1;
  if (added > 0) {
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + added - 1);
    for (const ProcessRow& row : rows) {
      if (!index_.contains(row.record.pid)) rows_.push_back(row);
    }
    endInsertRows();
    reindex();
  }

  bool reordered = false;
  for (std::size_t i = 0; i < rows.size() && !reordered; ++i)
    reordered = rows_[i].record.pid != rows[i].record.pid;

  if (reordered) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
      const std::int32_t pid = rows_[static_cast<std::size_t>(index.row())].record.pid;
      after.append(createIndex(next_.at(pid), index.column()));
    }
    std::swap(rows_, rows);
    std::swap(index_, next_);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  } else {
    std::swap(rows_, rows);
    std::swap(index_, next_);
  }
  if (!rows_.empty()) {
    emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, kProcessColumnCount - 1),
                     {Qt::DisplayRole, kIsAppRole});
  }
}

void ProcessTableModel::setPrivacyMask(bool mask) {
  if (mask_ == mask) return;
  mask_ = mask;
  if (rows_.empty()) return;
  const int column = static_cast<int>(ProcessColumn::user);
  emit dataChanged(index(0, column), index(static_cast<int>(rows_.size()) - 1, column), {Qt::DisplayRole});
}

std::optional<int> ProcessTableModel::rowOf(std::int32_t pid) const {
  const auto it = index_.find(pid);
  if (it == index_.end()) return std::nullopt;
  return it->second;
}

const ProcessRow* ProcessTableModel::rowAt(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  return &rows_[static_cast<std::size_t>(row)];
}

int ProcessTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ProcessTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kProcessColumnCount;
}

QVariant ProcessTableModel::data(const QModelIndex& index, int role) const {
  const ProcessRow* row = rowAt(index.row());
  if (!row || index.column() < 0 || index.column() >= kProcessColumnCount) return {};
  const auto column = static_cast<ProcessColumn>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return ProcessRows::cellText(row->record, column, format_, mask_);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (ProcessRows::isNumeric(column) ? Qt::AlignRight : Qt::AlignLeft));
    case kIsAppRole:
      return row->isApp;
    default:
      return {};
  }
}

QVariant ProcessTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kProcessColumnCount) return {};
  const auto column = static_cast<ProcessColumn>(section);
  if (role == Qt::DisplayRole) return ProcessRows::columnTitle(column);
  if (role == Qt::ToolTipRole) {
    QString tip = ProcessRows::columnTip(column);
    if (!leftOut_.isEmpty()) {
      if (!tip.isEmpty()) tip += QStringLiteral("\n\n");
      tip += kivo::tr("Not shown for lack of room: %1. A wider window shows them.",
                      leftOut_.join(QStringLiteral(", ")));
    }
    return tip.isEmpty() ? QVariant() : QVariant(tip);
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter |
                               (ProcessRows::isNumeric(column) ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

void ProcessTableModel::setLeftOut(const QStringList& titles) {
  if (titles == leftOut_) return;
  leftOut_ = titles;
  emit headerDataChanged(Qt::Horizontal, 0, kProcessColumnCount - 1);
}

void ProcessTableModel::sort(int column, Qt::SortOrder order) {
  if (onSort) onSort(column, order);
}

}  // namespace kivo
