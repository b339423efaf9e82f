#include "design/KeyedGrid.h"

#include "design/ToneLabel.h"
#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QGridLayout>

namespace kivo {

KeyedGrid::KeyedGrid(const QStringList& titleKeys, int verticalSpacing, QWidget* parent)
    : QWidget(parent), grid_(new QGridLayout(this)), columns_(static_cast<int>(titleKeys.size())) {
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setHorizontalSpacing(kHorizontalSpacing);
  grid_->setVerticalSpacing(verticalSpacing);
  grid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  for (int column = 0; column < columns_; ++column) {
    auto* title = new ToneLabel(translated(titleKeys.at(column)), Typeface::label(), Palette::textSecondary, this);
    title->setObjectName(QStringLiteral("grid.title"));
    grid_->addWidget(title, 0, column, Qt::AlignLeft | Qt::AlignTop);
  }
  // The last column takes what is left, so the columns stay packed at the leading edge.
  grid_->setColumnStretch(columns_, 1);
}

void KeyedGrid::setRows(const QStringList& ids, const RowFactory& make) {
  if (ids == order_) return;
  // Take every row out of the grid, then put back the ones still wanted in the new order.
  for (const auto& cells : rows_) {
    for (QWidget* cell : cells) grid_->removeWidget(cell);
  }
  for (auto it = rows_.begin(); it != rows_.end();) {
    if (!ids.contains(it.key())) {
      for (QWidget* cell : it.value()) {
        cell->hide();
        cell->deleteLater();
      }
      it = rows_.erase(it);
    } else {
      ++it;
    }
  }
  for (const QString& id : ids) {
    if (!rows_.contains(id)) rows_.insert(id, make(this));
  }
  order_ = ids;
  place();
}

void KeyedGrid::place() {
  int row = 1;
  for (const QString& id : order_) {
    const auto& cells = rows_.value(id);
    for (int column = 0; column < static_cast<int>(cells.size()) && column < columns_; ++column) {
      grid_->addWidget(cells[static_cast<std::size_t>(column)], row, column, Qt::AlignLeft | Qt::AlignTop);
      cells[static_cast<std::size_t>(column)]->show();
    }
    ++row;
  }
  // Any height the grid is given beyond its rows' needs goes below the last row, not between rows.
  for (int r = 0; r < grid_->rowCount(); ++r) grid_->setRowStretch(r, 0);
  grid_->setRowStretch(row, 1);
}

const std::vector<QWidget*>& KeyedGrid::cells(const QString& id) const {
  static const std::vector<QWidget*> none;
  const auto it = rows_.constFind(id);
  return it == rows_.constEnd() ? none : it.value();
}

}  // namespace kivo
