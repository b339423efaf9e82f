#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QGridLayout;

namespace kivo {

// A hardware table: a title row in the label face, then one row of cells per identity (an
// interface, a device, a capability). Rows are kept by identity across updates: new ones are
// made by the caller's factory, rows that went away are deleted later, the rest keep their
// widgets (and so their selection) and only move when the order changes.
// The table fits the width it is given, never asking for a sideways scroll: columns that
// wrap share what the others leave, and when that is not enough, columns go in the order the
// caller gave (least important first) and come back once there is room.
class KeyedGrid : public QWidget {
  Q_OBJECT

 public:
  // Makes the cells of a new row, one per column, parented to the grid.
  using RowFactory = std::function<std::vector<QWidget*>(QWidget* parent)>;

  KeyedGrid(const QStringList& titleKeys, int verticalSpacing, QWidget* parent = nullptr);

  // Shows exactly these rows, in this order.
  void setRows(const QStringList& ids, const RowFactory& make);
  // The cells of a shown row; empty for an unknown id.
  const std::vector<QWidget*>& cells(const QString& id) const;
  const QStringList& ids() const { return order_; }

  // Columns to leave out, least important first, while the table is wider than its room.
  void setDropOrder(std::vector<int> columns);
  // Columns whose word-wrapping labels share the room the others leave, each between least
  // and most pixels wide.
  void setWrapColumns(std::vector<int> columns, int least, int most);
  // Fits the columns to the current width again; call after changing texts of wrapping cells.
  void refit();
  bool isColumnShown(int column) const;
  // The titles of the columns left out for width, in column order; the shown titles' tooltip
  // names them, so a narrow table does not hide that they exist.
  QStringList hiddenTitles() const;
  // The width the shown columns take, wrapping columns at their narrowest.
  int neededWidth() const;

  QSize minimumSizeHint() const override;

  static constexpr int kHorizontalSpacing = 16;

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void place();
  int naturalWidth(int column) const;
  int neededWidth(const std::vector<bool>& shown) const;
  void fitWrapped(QWidget* cell, int width) const;
  void showHiddenHint();

  QGridLayout* grid_;
  int columns_;
  QStringList order_;
  QHash<QString, std::vector<QWidget*>> rows_;
  std::vector<QWidget*> titles_;
  std::vector<bool> shown_;
  std::vector<int> dropOrder_;
  std::vector<int> wrapColumns_;
  int wrapLeast_ = 0;
  int wrapMost_ = 0;
  bool fitting_ = false;
};

}  // namespace kivo
