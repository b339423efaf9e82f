#pragma once

#include "design/Tokens.h"
#include "metrics/Metric.h"

#include <QWidget>

#include <optional>

namespace kivo {

class HintFence;

class QualityBadge;
class ToneLabel;

// A label on the left, its value on the right (selectable for copying; "—" when absent), with an
// optional colour swatch before the label and a badge after it for estimated and best-effort
// figures. Label and value are shown as given.
class KeyValueRow : public QWidget {
  Q_OBJECT

 public:
  KeyValueRow(const QString& label, std::optional<QString> value, std::optional<MetricQuality> quality = std::nullopt,
              std::optional<DynamicColor> swatch = std::nullopt, QWidget* parent = nullptr);

  void setValue(std::optional<QString> value);
  void setQuality(std::optional<MetricQuality> quality);
  QString shownValue() const;

  // Only estimated and best-effort figures are badged in a row.
  static bool showsBadge(std::optional<MetricQuality> quality);

  static constexpr int kSpacing = 8;
  static constexpr int kSwatchSize = 8;

 private:
  void refreshAccessibility();

  QString label_;
  ToneLabel* value_ = nullptr;
  HintFence* valueFence_ = nullptr;
  QualityBadge* badge_ = nullptr;
};

}  // namespace kivo
