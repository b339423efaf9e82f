#pragma once

#include "reporting/ReportTable.h"

#include <QWidget>

#include <vector>

class QGridLayout;

namespace kivo {

class ToneLabel;

// One report table as a leading-aligned grid: the headers, then at most the first 40 rows, each
// cell selectable and at most two lines high. The table's title is never shown. Cells are kept
// and given new texts when the table changes, so a rebuild of the report does not recreate them.
class ReportTableView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxRows = 40;
  static constexpr int kColumnSpacing = 16;
  static constexpr int kRowSpacing = 5;
  static constexpr int kMaxLines = 2;
  // A cell wider than this wraps onto a second line; narrower ones wrap only when room is short.
  static constexpr int kMaxCellWidth = 320;

  explicit ReportTableView(QWidget* parent = nullptr);

  void setTable(const ReportTable& table);
  const ReportTable& table() const { return table_; }
  // Rows on the page (never more than kMaxRows).
  int shownRows() const { return static_cast<int>(cells_.size()); }
  // The label of a data cell; null when not shown.
  ToneLabel* cell(int row, int column) const;

  // The narrowest width the cells allow; no minimum height, since the height follows the width
  // (measured with every cell at its narrowest, it would hold the card open far below the grid).
  QSize minimumSizeHint() const override;

 private:
  ToneLabel* makeHeader(const QString& text, int column);
  ToneLabel* makeCell(const QString& text, int row, int column);
  void resizeRow(std::vector<ToneLabel*>& labels, const QStringList& texts, int gridRow, bool header);

  ReportTable table_;
  QGridLayout* grid_ = nullptr;
  std::vector<ToneLabel*> headers_;
  std::vector<std::vector<ToneLabel*>> cells_;
  int stretchColumn_ = -1;
};

}  // namespace kivo
