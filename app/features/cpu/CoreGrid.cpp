#include "features/cpu/CoreGrid.h"

#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {

double clamped(double busy) {
  return std::isfinite(busy) ? std::clamp(busy, 0.0, 1.0) : 0.0;
}

QFont numberFont() {
  return Typeface::system(9);
}

// Line heights of the two texts under a bar; the fonts are fixed for the run.
int captionHeight() {
  static const int height = QFontMetrics(Typeface::caption()).height();
  return height;
}

int numberHeight() {
  static const int height = QFontMetrics(numberFont()).height();
  return height;
}

}  // namespace

class CoreGrid::Cell : public QWidget {
 public:
  // Drawn by the grid, in one pass for every cell; the cell itself is what a screen reader finds.
  Cell(int number, CoreGrid* grid) : QWidget(grid), number_(number) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(kivo::tr("Core %1", number));
    setAccessibleDescription(percentText(0));
  }

  // True when the cell looks different now.
  bool setBusy(double busy) {
    if (busy == busy_ || (std::isnan(busy) && std::isnan(busy_))) return false;
    const auto before = percent(busy_);
    busy_ = busy;
    if (percent(busy) != before) setAccessibleDescription(percentText(busy));
    return true;
  }

  double busy() const { return busy_; }
  int number() const { return number_; }

 private:
  int number_;
  double busy_ = 0;
};

CoreGrid::CoreGrid(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("cpu.coreGrid"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void CoreGrid::setCores(std::span<const CPULoad> cores) {
  if (cores.size() != cells_.size()) {
    // The core count changed (a CPU went offline or came back): new cells, numbered from 1.
    while (cells_.size() > cores.size()) {
      cells_.back()->hide();
      cells_.back()->deleteLater();
      cells_.pop_back();
    }
    while (cells_.size() < cores.size()) {
      auto* cell = new Cell(static_cast<int>(cells_.size()) + 1, this);
      cell->setObjectName(QStringLiteral("cpu.core.%1").arg(cells_.size() + 1));
      cells_.push_back(cell);
      cell->show();
    }
    updateGeometry();
    placeCells();
  }
  bool changed = false;
  for (std::size_t index = 0; index < cores.size(); ++index)
    changed |= cells_[index]->setBusy(cores[index].busy());
  if (changed) update();
}

void CoreGrid::setColor(const ChartColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

std::optional<int> CoreGrid::percent(double busy) {
  if (!std::isfinite(busy)) return std::nullopt;
  const double value = std::round(busy * 100);  // halves away from zero
  if (value > 1e6 || value < -1e6) return std::nullopt;
  return static_cast<int>(value);
}

QString CoreGrid::percentText(double busy) {
  const auto value = percent(busy);
  return value ? QString::number(*value) + QStringLiteral(" %") : QStringLiteral("—");
}

double CoreGrid::barHeight(double busy, double full) {
  return std::min(std::max(clamped(busy) * full, 2.0), full);
}

double CoreGrid::barOpacity(double busy) {
  return 0.35 + 0.65 * clamped(busy);
}

int CoreGrid::columns(int width) {
  return std::max(1, (width + kSpacing) / (kMinimumColumn + kSpacing));
}

int CoreGrid::perRow(int count, int width) {
  if (count <= 0) return 1;
  const int most = columns(width);
  const int rows = (count + most - 1) / most;
  return (count + rows - 1) / rows;
}

int CoreGrid::cellHeight() {
  return static_cast<int>(kBarHeight) + kCellSpacing + captionHeight() + kCellSpacing + numberHeight();
}

int CoreGrid::filledCellHeight(int height, int rows) {
  if (rows <= 0) return cellHeight();
  const int share = (height - (rows - 1) * kSpacing) / rows;
  return std::clamp(share, cellHeight(), cellHeight() + static_cast<int>(kBarHeight));
}

void CoreGrid::paintCell(QPainter& painter, const QRectF& rect, double busy, int number, const QColor& bar,
                         const QColor& track, const QColor& trackEdge, const QColor& text,
                         const QColor& tertiary) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const double barWidth = std::min(rect.width(), 28.0);
  // The bar takes what the two texts under it leave of the cell.
  const double full =
      std::max(rect.height() - (kCellSpacing + captionHeight() + kCellSpacing + numberHeight()), 2.0);
  const QRectF frame(rect.center().x() - barWidth / 2, rect.top(), barWidth, full);
  painter.setBrush(track);
  // Outlined, so an idle core's track shows on the card in light and dark.
  painter.setPen(QPen(trackEdge, 1));
  painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  painter.setPen(Qt::NoPen);
  const double fill = barHeight(busy, full);
  QColor fillColor = bar;
  fillColor.setAlphaF(static_cast<float>(barOpacity(busy)));
  painter.setBrush(fillColor);
  painter.drawRoundedRect(QRectF(frame.left(), frame.bottom() - fill, frame.width(), fill), 4, 4);

  double y = frame.bottom() + kCellSpacing;
  painter.setFont(Typeface::caption());
  painter.setPen(text);
  painter.drawText(QRectF(rect.left(), y, rect.width(), captionHeight()), Qt::AlignCenter, percentText(busy));
  y += captionHeight() + kCellSpacing;
  static const QFont small = numberFont();
  painter.setFont(small);
  painter.setPen(tertiary);
  painter.drawText(QRectF(rect.left(), y, rect.width(), numberHeight()), Qt::AlignCenter,
                   QString::number(number));
  painter.restore();
}

int CoreGrid::heightForWidth(int width) const {
  if (cells_.empty()) return 0;
  const int count = static_cast<int>(cells_.size());
  const int inRow = perRow(count, width);
  const int rows = (count + inRow - 1) / inRow;
  return rows * cellHeight() + (rows - 1) * kSpacing;
}

QSize CoreGrid::sizeHint() const {
  const int width = 8 * kMinimumColumn + 7 * kSpacing;
  return {width, heightForWidth(width)};
}

QSize CoreGrid::minimumSizeHint() const {
  return {kMinimumColumn, cells_.empty() ? 0 : cellHeight()};
}

void CoreGrid::resizeEvent(QResizeEvent*) {
  placeCells();
}

void CoreGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor bar = color_.resolve(this);
  const QColor track = Palette::surfaceRaised.resolve(this);
  const QColor edge = trackEdge.resolve(this);
  const QColor text = Palette::textPrimary.resolve(this);
  const QColor tertiary = Palette::textTertiary.resolve(this);
  for (const Cell* cell : cells_) {
    if (!event->rect().intersects(cell->geometry())) continue;
    paintCell(painter, QRectF(cell->geometry()), cell->busy(), cell->number(), bar, track, edge, text,
              tertiary);
  }
}

void CoreGrid::placeCells() {
  const int inRow = perRow(static_cast<int>(cells_.size()), width());
  const double cellWidth = (width() - kSpacing * (inRow - 1)) / static_cast<double>(inRow);
  const int rows = (static_cast<int>(cells_.size()) + inRow - 1) / inRow;
  const int height = filledCellHeight(this->height(), rows);
  for (std::size_t index = 0; index < cells_.size(); ++index) {
    const int row = static_cast<int>(index) / inRow;
    const int column = static_cast<int>(index) % inRow;
    const int x = static_cast<int>(std::lround(column * (cellWidth + kSpacing)));
    const int right = static_cast<int>(std::lround(column * (cellWidth + kSpacing) + cellWidth));
    cells_[index]->setGeometry(x, row * (height + kSpacing), right - x, height);
  }
}

}  // namespace kivo
