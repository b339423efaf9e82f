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
// Columns at least 58 wide, as many as fit. Each cell is its own accessible element ("Core 3",
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
  static double barHeight(double busy);
  static double barOpacity(double busy);
  // How many columns of at least 58, 8 apart, fit the width; at least one.
  static int columns(int width);
  static int cellHeight();
  static void paintCell(QPainter& painter, const QRectF& rect, double busy, int number, const QColor& bar,
                        const QColor& track, const QColor& trackEdge, const QColor& text, const QColor& tertiary);

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
