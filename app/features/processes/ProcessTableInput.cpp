#include "features/processes/ProcessTableInput.h"

#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessSelection.h"
#include "features/processes/ProcessTableModel.h"
#include "features/processes/ProcessesPage.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTableView>

#include <optional>
#include <vector>

namespace kivo {

ProcessTableInput::ProcessTableInput(ProcessesPage& page, QTableView& view, ProcessTableModel& table,
                                     ProcessSelection& selection, std::uint32_t uid, std::int32_t ownPID)
    : QObject(&page),
      page_(page),
      view_(view),
      table_(table),
      selection_(selection),
      uid_(uid),
      ownPID_(ownPID) {
  view_.setContextMenuPolicy(Qt::CustomContextMenu);
  // Tab leaves the table like any other control; the arrows, Home and End move between rows.
  view_.setTabKeyNavigation(false);
  view_.installEventFilter(this);
  connect(&view_, &QWidget::customContextMenuRequested, this, &ProcessTableInput::showRowMenu);
  QHeaderView* header = view_.horizontalHeader();
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QWidget::customContextMenuRequested, this, &ProcessTableInput::showColumnMenu);
}

void ProcessTableInput::showRowMenu(const QPoint& position) {
  const QModelIndex index = view_.indexAt(position);
  const ProcessRow* row = index.isValid() ? table_.rowAt(index.row()) : nullptr;
  if (!row) return;  // an empty area offers nothing
  openMenu(row->record.pid, view_.viewport()->mapToGlobal(position));
}

void ProcessTableInput::showMenuOfSelection() {
  const std::optional<std::int32_t> pid = selection_.pid();
  const std::optional<int> row = pid ? table_.rowOf(*pid) : std::nullopt;
  if (!row) return;  // no highlighted row: nothing to act on
  const QModelIndex index = table_.index(*row, 0);
  view_.scrollTo(index);
  const QRect cell = view_.visualRect(index);
  openMenu(*pid, view_.viewport()->mapToGlobal(QPoint(cell.left() + 16, cell.bottom())));
}

void ProcessTableInput::showColumnMenu(const QPoint& position) {
  QPointer<ProcessTableInput> self(this);
  QPointer<QMenu> menu = new QMenu(&page_);
  menu->setObjectName(QStringLiteral("processes.columns"));
  // The name stays: a row without it names nothing.
  for (int column = 1; column < kProcessColumnCount; ++column) {
    QAction* action = menu->addAction(ProcessRows::columnTitle(static_cast<ProcessColumn>(column)));
    action->setCheckable(true);
    action->setChecked(page_.columnShown(static_cast<ProcessColumn>(column)));
    action->setData(column);
  }
  QAction* chosen = menu->exec(view_.horizontalHeader()->mapToGlobal(position));
  if (!self) return;
  const int column = chosen ? chosen->data().toInt() : -1;
  const bool shown = chosen && chosen->isChecked();
  delete menu;
  if (column > 0) page_.setColumnShown(static_cast<ProcessColumn>(column), shown);
}

void ProcessTableInput::openMenu(std::int32_t pid, const QPoint& global) {
  const ProcessRecord* found = page_.find(pid);
  if (!found) return;
  // The menu holds a copy of the record: the sample may be replaced while it is open.
  const ProcessRecord record = *found;
  QPointer<ProcessTableInput> self(this);
  QPointer<QMenu> menu = new QMenu(&page_);
  menu->setObjectName(QStringLiteral("processes.menu"));
  const std::vector<ProcessEntry> entries = ProcessEntries::entries(record, uid_, ownPID_);
  for (ProcessEntry entry : entries) {
    if (entry == ProcessEntry::quit) menu->addSeparator();
    QAction* action = menu->addAction(ProcessEntries::title(entry));
    action->setData(static_cast<int>(entry));
  }
  QAction* chosen = menu->exec(global);
  if (!self) return;
  const std::optional<ProcessEntry> entry =
      chosen ? std::optional(static_cast<ProcessEntry>(chosen->data().toInt())) : std::nullopt;
  delete menu;
  if (entry) page_.trigger(*entry, record);
}

bool ProcessTableInput::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &view_) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::ContextMenu &&
      static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
    // The platform's menu key: the menu of the selected row, wherever the pointer is.
    showMenuOfSelection();
    return true;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
    showMenuOfSelection();
    return true;
  }
  if ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) &&
      (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
    const int rows = table_.rowCount();
    if (rows > 0) {
      const QModelIndex index = table_.index(key->key() == Qt::Key_Home ? 0 : rows - 1, 0);
      view_.setCurrentIndex(index);  // selects the row, as a click would
      view_.scrollTo(index);
    }
    return true;
  }
  if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
    // Ctrl+Tab too leaves the table instead of moving between cells.
    emit leave(key->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
    return true;
  }
  return false;
}

}  // namespace kivo
