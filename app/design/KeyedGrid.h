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

  static constexpr int kHorizontalSpacing = 16;

 private:
  void place();

  QGridLayout* grid_;
  int columns_;
  QStringList order_;
  QHash<QString, std::vector<QWidget*>> rows_;
};

}  // namespace kivo
