#pragma once

#include <QObject>

#include <cstdint>

class QPoint;
class QTableView;

namespace kivo {

class ProcessesPage;
class ProcessSelection;
class ProcessTableModel;

// The process table's context menus and keys: a row's menu by the pointer, the menu of the
// selected row by the Menu key or Shift+F10, the column menu of the header, Home and End to the
// first and last row, and Tab (Ctrl+Tab too) out of the table. What is chosen goes to the page.
class ProcessTableInput : public QObject {
  Q_OBJECT

 public:
  ProcessTableInput(ProcessesPage& page, QTableView& view, ProcessTableModel& table,
                    ProcessSelection& selection, std::uint32_t uid, std::int32_t ownPID);

 signals:
  // Tab or Shift+Tab in the table: focus moves to the next or previous control of the window.
  void leave(bool next);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showRowMenu(const QPoint& position);
  void showMenuOfSelection();
  void showColumnMenu(const QPoint& position);
  void openMenu(std::int32_t pid, const QPoint& global);

  ProcessesPage& page_;
  QTableView& view_;
  ProcessTableModel& table_;
  ProcessSelection& selection_;
  std::uint32_t uid_;
  std::int32_t ownPID_;
};

}  // namespace kivo
