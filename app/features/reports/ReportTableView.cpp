#include "features/reports/ReportTableView.h"

#include "design/Tokens.h"
#include "design/ToneLabel.h"

#include <QFontMetrics>
#include <QGridLayout>

#include <algorithm>

namespace kivo {

namespace {

// A cell that asks for its text on one line (up to kMaxCellWidth) but, when the table is short
// of room, wraps down to its longest word; never more than kMaxLines high.
class CellLabel final : public ToneLabel {
 public:
  CellLabel(const QString& text, QWidget* parent)
      : ToneLabel(text, Typeface::value(), Palette::textPrimary, parent) {
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setCursor(Qt::IBeamCursor);
    setMaximumHeight(QFontMetrics(font()).lineSpacing() * ReportTableView::kMaxLines);
  }

  // Two lines at most, also when the layout measures a narrow column.
  int heightForWidth(int width) const override {
    return std::min(ToneLabel::heightForWidth(width), maximumHeight());
  }

  QSize sizeHint() const override {
    const QFontMetrics metrics(font());
    const int width = std::min(metrics.horizontalAdvance(text()) + 1, ReportTableView::kMaxCellWidth);
    return {width, std::min(heightForWidth(width), maximumHeight())};
  }
  QSize minimumSizeHint() const override {
    const QFontMetrics metrics(font());
    int word = 0;
    for (const QString& part : text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
      word = std::max(word, metrics.horizontalAdvance(part) + 1);
    const int width = std::min(word, ReportTableView::kMaxCellWidth);
    return {width, std::min(heightForWidth(width), maximumHeight())};
  }
};

}  // namespace

ReportTableView::ReportTableView(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setHorizontalSpacing(kColumnSpacing);
  grid_->setVerticalSpacing(kRowSpacing);
}

QSize ReportTableView::minimumSizeHint() const {
  return {QWidget::minimumSizeHint().width(), 0};
}

ToneLabel* ReportTableView::cell(int row, int column) const {
  if (row < 0 || row >= shownRows() || column < 0 || column >= static_cast<int>(cells_[row].size()))
    return nullptr;
  return cells_[row][column];
}

ToneLabel* ReportTableView::makeHeader(const QString& text, int column) {
  auto* label = new ToneLabel(text, Typeface::label(), Palette::textSecondary, this);
  label->setObjectName(QStringLiteral("header.%1").arg(column));
  return label;
}

ToneLabel* ReportTableView::makeCell(const QString& text, int row, int column) {
  auto* label = new CellLabel(text, this);
  label->setObjectName(QStringLiteral("cell.%1.%2").arg(row).arg(column));
  return label;
}

void ReportTableView::resizeRow(std::vector<ToneLabel*>& labels, const QStringList& texts, int gridRow,
                                bool header) {
  const auto wanted = static_cast<std::size_t>(texts.size());
  while (labels.size() > wanted) {
    ToneLabel* gone = labels.back();
    labels.pop_back();
    grid_->removeWidget(gone);
    gone->hide();
    gone->deleteLater();
  }
  for (std::size_t column = 0; column < wanted; ++column) {
    const QString& text = texts[static_cast<qsizetype>(column)];
    if (column < labels.size()) {
      if (labels[column]->text() != text) labels[column]->setText(text);
      continue;
    }
    const int c = static_cast<int>(column);
    ToneLabel* label = header ? makeHeader(text, c) : makeCell(text, gridRow - 1, c);
    grid_->addWidget(label, gridRow, c, Qt::AlignLeft | Qt::AlignTop);
    labels.push_back(label);
  }
}

void ReportTableView::setTable(const ReportTable& table) {
  table_ = table;
  resizeRow(headers_, table.headers, 0, true);
  const auto shown = static_cast<std::size_t>(std::min<qsizetype>(table.rows.size(), kMaxRows));
  while (cells_.size() > shown) {
    resizeRow(cells_.back(), {}, static_cast<int>(cells_.size()), false);
    cells_.pop_back();
  }
  cells_.resize(shown);
  int columns = static_cast<int>(headers_.size());
  for (std::size_t row = 0; row < shown; ++row) {
    resizeRow(cells_[row], table.rows[static_cast<qsizetype>(row)], static_cast<int>(row) + 1, false);
    columns = std::max(columns, static_cast<int>(cells_[row].size()));
  }
  // An empty column after the last takes the spare width, so the grid keeps to the leading edge.
  if (stretchColumn_ != columns) {
    if (stretchColumn_ >= 0) grid_->setColumnStretch(stretchColumn_, 0);
    grid_->setColumnStretch(columns, 1);
    stretchColumn_ = columns;
  }
}

}  // namespace kivo
