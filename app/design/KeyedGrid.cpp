#include "design/KeyedGrid.h"

#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace kivo {

KeyedGrid::KeyedGrid(const QStringList& titleKeys, int verticalSpacing, QWidget* parent)
    : QWidget(parent),
      grid_(new QGridLayout(this)),
      columns_(static_cast<int>(titleKeys.size())),
      shown_(static_cast<std::size_t>(columns_), true) {
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setHorizontalSpacing(kHorizontalSpacing);
  grid_->setVerticalSpacing(verticalSpacing);
  grid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  for (int column = 0; column < columns_; ++column) {
    auto* title =
        new ToneLabel(translated(titleKeys.at(column)), Typeface::label(), Palette::textSecondary, this);
    title->setObjectName(QStringLiteral("grid.title"));
    grid_->addWidget(title, 0, column, Qt::AlignLeft | Qt::AlignTop);
    titles_.push_back(title);
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
  refit();
}

void KeyedGrid::place() {
  int row = 1;
  for (const QString& id : order_) {
    const auto& cells = rows_.value(id);
    for (int column = 0; column < static_cast<int>(cells.size()) && column < columns_; ++column) {
      grid_->addWidget(cells[static_cast<std::size_t>(column)], row, column, Qt::AlignLeft | Qt::AlignTop);
      cells[static_cast<std::size_t>(column)]->setVisible(shown_[static_cast<std::size_t>(column)]);
    }
    ++row;
  }
  // Any height the grid is given beyond its rows' needs goes below the last row, not between rows.
  for (int r = 0; r < grid_->rowCount(); ++r) grid_->setRowStretch(r, 0);
  grid_->setRowStretch(row, 1);
}

void KeyedGrid::setDropOrder(std::vector<int> columns) {
  std::erase_if(columns, [this](int column) { return column < 0 || column >= columns_; });
  dropOrder_ = std::move(columns);
  refit();
}

void KeyedGrid::setWrapColumns(std::vector<int> columns, int least, int most) {
  std::erase_if(columns, [this](int column) { return column < 0 || column >= columns_; });
  wrapColumns_ = std::move(columns);
  wrapLeast_ = std::max(least, 1);
  wrapMost_ = std::max(most, wrapLeast_);
  refit();
}

QStringList KeyedGrid::hiddenTitles() const {
  QStringList titles;
  for (int column = 0; column < columns_; ++column) {
    if (!shown_[static_cast<std::size_t>(column)])
      titles << static_cast<QLabel*>(titles_[static_cast<std::size_t>(column)])->text();
  }
  return titles;
}

void KeyedGrid::showHiddenHint() {
  const QStringList hidden = hiddenTitles();
  const QString hint = hidden.isEmpty()
                           ? QString()
                           : kivo::tr("Not shown for lack of room: %1. A wider window shows them.",
                                      hidden.join(QStringLiteral(", ")));
  for (QWidget* title : titles_) title->setToolTip(hint);
  setAccessibleDescription(hint);
}

bool KeyedGrid::isColumnShown(int column) const {
  return column >= 0 && column < columns_ && shown_[static_cast<std::size_t>(column)];
}

int KeyedGrid::naturalWidth(int column) const {
  if (std::find(wrapColumns_.begin(), wrapColumns_.end(), column) != wrapColumns_.end()) return wrapLeast_;
  int width = titles_[static_cast<std::size_t>(column)]->sizeHint().width();
  for (const QString& id : order_) {
    const auto& cells = rows_.value(id);
    if (column < static_cast<int>(cells.size())) {
      width = std::max(width, cells[static_cast<std::size_t>(column)]->sizeHint().width());
    }
  }
  return width;
}

int KeyedGrid::neededWidth(const std::vector<bool>& shown) const {
  int width = 0;
  int count = 0;
  for (int column = 0; column < columns_; ++column) {
    if (!shown[static_cast<std::size_t>(column)]) continue;
    width += naturalWidth(column);
    ++count;
  }
  return width + std::max(count - 1, 0) * kHorizontalSpacing;
}

int KeyedGrid::neededWidth() const {
  return neededWidth(shown_);
}

void KeyedGrid::fitWrapped(QWidget* cell, int width) const {
  QList<QLabel*> labels = cell->findChildren<QLabel*>();
  if (auto* label = qobject_cast<QLabel*>(cell)) labels.prepend(label);
  bool any = false;
  for (QLabel* label : labels) {
    if (!label->wordWrap()) continue;
    any = true;
    label->setFixedWidth(width);
    // A fixed height also caps what the label answers for a width: lift it before asking. A
    // grid sizes its rows from the labels' hints, not from the width they end with.
    label->setMinimumHeight(0);
    label->setMaximumHeight(QWIDGETSIZE_MAX);
    label->setFixedHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
  }
  if (any && !qobject_cast<QLabel*>(cell)) cell->adjustSize();
}

void KeyedGrid::refit() {
  const int room = width();
  if (room <= 0 || fitting_) return;
  fitting_ = true;
  // Leave columns out in the given order until the rest fit. A column that was out comes back
  // only with some room to spare, so a figure growing by a digit does not make it flicker.
  constexpr int kSlack = 24;
  const auto fitIn = [this](int limit) {
    std::vector<bool> shown(static_cast<std::size_t>(columns_), true);
    for (int column : dropOrder_) {
      if (neededWidth(shown) <= limit) break;
      shown[static_cast<std::size_t>(column)] = false;
    }
    return shown;
  };
  std::vector<bool> shown = fitIn(room);
  bool returning = false;
  for (int column = 0; column < columns_; ++column) {
    if (shown[static_cast<std::size_t>(column)] && !shown_[static_cast<std::size_t>(column)])
      returning = true;
  }
  if (returning) shown = fitIn(room - kSlack);

  if (shown != shown_) {
    shown_ = shown;
    for (int column = 0; column < columns_; ++column) {
      const bool on = shown_[static_cast<std::size_t>(column)];
      titles_[static_cast<std::size_t>(column)]->setVisible(on);
      for (const QString& id : order_) {
        const auto& cells = rows_.value(id);
        if (column < static_cast<int>(cells.size())) cells[static_cast<std::size_t>(column)]->setVisible(on);
      }
    }
    showHiddenHint();
  }

  // The wrapping columns share what the shown fixed ones leave.
  int wrapping = 0;
  for (int column : wrapColumns_) wrapping += shown_[static_cast<std::size_t>(column)] ? 1 : 0;
  if (wrapping > 0) {
    const int fixed = neededWidth(shown_) - wrapping * wrapLeast_;
    const int width = std::clamp((room - fixed) / wrapping, wrapLeast_, wrapMost_);
    for (int column : wrapColumns_) {
      for (const QString& id : order_) {
        const auto& cells = rows_.value(id);
        if (column < static_cast<int>(cells.size()))
          fitWrapped(cells[static_cast<std::size_t>(column)], width);
      }
    }
  }
  fitting_ = false;
}

QSize KeyedGrid::minimumSizeHint() const {
  // Any width will do: columns go and wrap to fit it.
  return {0, QWidget::minimumSizeHint().height()};
}

bool KeyedGrid::event(QEvent* event) {
  // Texts that grew or shrank ask for a new layout: fit the columns to them.
  if (event->type() == QEvent::LayoutRequest) refit();
  return QWidget::event(event);
}

void KeyedGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  refit();
}

const std::vector<QWidget*>& KeyedGrid::cells(const QString& id) const {
  static const std::vector<QWidget*> none;
  const auto it = rows_.constFind(id);
  return it == rows_.constEnd() ? none : it.value();
}

}  // namespace kivo
