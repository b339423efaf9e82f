#pragma once

#include "collectors/CPUSample.h"
#include "design/ChartColor.h"

#include <QWidget>

#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace kivo {

// One cell per logical core: a bar as high as the core is busy, its percentage and its number.
// Columns at least 58 wide, rows filled evenly. Each cell is its own accessible element ("Core 3",
// "42 %"); the cells are created when the core count changes, and the grid paints them all in
// one pass.
class CoreGrid : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMinimumColumn = 58;
  static constexpr int kSpacing = 8;
  static constexpr double kBarHeight = 44;
  static constexpr int kCellSpacing = 3;

  explicit CoreGrid(QWidget* parent = nullptr);

  void setCores(std::span<const CPULoad> cores);
  void setColor(const ChartColor& color);
  int cellCount() const { return static_cast<int>(cells_.size()); }

  // The busy share as a whole percentage, halves away from zero; absent when not finite.
  static std::optional<int> percent(double busy);
  // "13 %"; "—" when the share is not finite.
  static QString percentText(double busy);
  // The filled part of the 44-high bar: at least 2, at most all of it.
  static double barHeight(double busy, double full = kBarHeight);
  static double barOpacity(double busy);
  // How many columns of at least 58, 8 apart, fit the width; at least one.
  static int columns(int width);
  // Cells per row for this many cores: as few rows as the width allows, filled evenly (8 cores
  // where 7 fit are two rows of 4, not 7 and 1).
  static int perRow(int count, int width);
  static int cellHeight();
  // A cell's height in a grid given `height` for `rows` rows: the natural height, growing with
  // the room up to a bar twice as tall, so one row does not leave the card empty below it.
  static int filledCellHeight(int height, int rows);
  static void paintCell(QPainter& painter, const QRectF& rect, double busy, int number, const QColor& bar,
                        const QColor& track, const QColor& trackEdge, const QColor& text,
                        const QColor& tertiary);

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Cell;
  void placeCells();

  std::vector<Cell*> cells_;
  ChartColor color_ = ChartColor::of(MetricFamily::cpu);
};

}  // namespace kivo
