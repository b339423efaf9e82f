#pragma once

#include "collectors/MemorySample.h"
#include "design/Tokens.h"

#include <QWidget>

#include <optional>

class QPainter;

namespace kivo {

// The memory pressure level as a small capsule with its symbol. Without a level (the kernel
// offers no pressure stall information) it reads "—" in the tertiary colour, never "Normal".
class PressureBadge : public QWidget {
  Q_OBJECT

 public:
  explicit PressureBadge(QWidget* parent = nullptr);

  void setLevel(std::optional<MemoryPressureLevel> level);
  std::optional<MemoryPressureLevel> level() const { return level_; }

  // "Normal", "Warning", "Critical" localised; "—" without a level.
  static QString text(std::optional<MemoryPressureLevel> level);
  // The symbol beside the text; empty without a level.
  static QString symbol(std::optional<MemoryPressureLevel> level);
  // success, warning, danger; textTertiary without a level.
  static DynamicColor tint(std::optional<MemoryPressureLevel> level);
  // "Memory pressure: " and the text.
  static QString accessibleText(std::optional<MemoryPressureLevel> level);

  static QSizeF size(std::optional<MemoryPressureLevel> level);
  static void paint(QPainter& painter, const QRectF& rect, std::optional<MemoryPressureLevel> level,
                    bool dark);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<MemoryPressureLevel> level_;
};

}  // namespace kivo
