#pragma once

#include "design/ChartColor.h"

#include <QWidget>

#include <span>
#include <vector>

namespace kivo {

// Two sparklines over the same area with one ceiling: the first filled in the widget's accent,
// the second a plain line in the secondary text colour (read and write, download and upload).
class DualSparkline : public QWidget {
  Q_OBJECT

 public:
  explicit DualSparkline(const ChartColor& first, QWidget* parent = nullptr);

  void setValues(std::span<const double> first, std::span<const double> second, double ceiling);
  const std::vector<double>& first() const { return first_; }
  const std::vector<double>& second() const { return second_; }
  double ceiling() const { return ceiling_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ChartColor color_;
  std::vector<double> first_;
  std::vector<double> second_;
  double ceiling_ = 1024;
};

}  // namespace kivo
