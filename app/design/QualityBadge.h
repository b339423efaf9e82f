#pragma once

#include "design/Tokens.h"
#include "metrics/Metric.h"

#include <QWidget>

namespace kivo {

// How a figure is obtained, as a small upper-case capsule; the help text is its tooltip and
// what a screen reader says.
class QualityBadge : public QWidget {
  Q_OBJECT

 public:
  explicit QualityBadge(MetricQuality quality, QWidget* parent = nullptr);

  MetricQuality quality() const { return quality_; }
  void setQuality(MetricQuality quality);

  // Localised texts of a quality.
  static QString text(MetricQuality quality);
  static QString help(MetricQuality quality);
  // textTertiary for unavailable, warning for every other quality.
  static DynamicColor tint(MetricQuality quality);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void refresh();

  MetricQuality quality_;
};

}  // namespace kivo
