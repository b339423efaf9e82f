#pragma once

#include "design/Tokens.h"
#include "metrics/Metric.h"

#include <QWidget>

class QHBoxLayout;

#include <optional>

namespace kivo {

class HintFence;

class ElidedLabel;
class QualityBadge;
class ToneLabel;

// A label on the left, its value on the right (selectable for copying; "—" when absent), with an
// optional colour swatch before the label and a badge after it for estimated and best-effort
// figures. Label and value are shown as given.
class KeyValueRow : public QWidget {
  Q_OBJECT

 public:
  KeyValueRow(const QString& label, std::optional<QString> value,
              std::optional<MetricQuality> quality = std::nullopt,
              std::optional<DynamicColor> swatch = std::nullopt, QWidget* parent = nullptr);

  void setLabel(const QString& label);
  void setValue(std::optional<QString> value);
  void setQuality(std::optional<MetricQuality> quality);
  // The legend colour, or none; a row keeps its place in its card when the palette changes.
  void setSwatch(std::optional<DynamicColor> swatch);
  std::optional<DynamicColor> swatch() const;
  QString shownValue() const;
  // In a narrow pane the value goes under the label, right-aligned, instead of being cut: the
  // row is then as narrow as the wider of the two.
  void setWrapsValue(bool wraps);
  bool valueWrapped() const { return wrapped_; }

  QSize minimumSizeHint() const override;

  // Only estimated and best-effort figures are badged in a row.
  static bool showsBadge(std::optional<MetricQuality> quality);

  static constexpr int kSpacing = 8;
  static constexpr int kSwatchSize = 8;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void refreshAccessibility();
  // The width of the swatch, label and badge; whether the value must go under them at `width`.
  int leadingWidth() const;
  bool needsWrap(int width) const;
  void restack();

  QString label_;
  ElidedLabel* value_ = nullptr;
  HintFence* valueFence_ = nullptr;
  QualityBadge* badge_ = nullptr;
  class Swatch;
  Swatch* swatch_ = nullptr;
  ToneLabel* name_ = nullptr;
  QHBoxLayout* line_ = nullptr;
  QHBoxLayout* under_ = nullptr;
  bool wraps_ = false;
  bool wrapped_ = false;
};

}  // namespace kivo
