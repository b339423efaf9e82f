#pragma once

#include "design/ChartColor.h"
#include "design/Tokens.h"

#include <QWidget>

#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace kivo {

// A tiny line of recent values, oldest first, evenly spaced across the widget.
class Sparkline : public QWidget {
  Q_OBJECT

 public:
  explicit Sparkline(QWidget* parent = nullptr);

  void setValues(std::span<const double> values);
  void setColor(const ChartColor& color);
  // The value drawn at the top; without it the largest value is.
  void setCeiling(std::optional<double> ceiling);
  void setFilled(bool filled);
  // A sparkline on a plain fill (a card's surface) paints that fill itself and is opaque, so a
  // new value repaints only the sparkline and not everything under it.
  void setBackdrop(std::optional<DynamicColor> color);

  const std::vector<double>& values() const { return values_; }

  // Draws the line (and the fill under it) into `rect`; fewer than two finite values draw nothing.
  static void paint(QPainter& painter, const QRectF& rect, std::span<const double> values,
                    const QColor& color, std::optional<double> ceiling, bool filled);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<double> values_;
  ChartColor color_ = ChartColor::of(MetricFamily::cpu);
  std::optional<double> ceiling_;
  bool filled_ = true;
  std::optional<DynamicColor> backdrop_;
};

}  // namespace kivo
