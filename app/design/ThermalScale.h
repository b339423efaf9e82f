#pragma once

#include "collectors/ThermalLevel.h"
#include "design/Tokens.h"

#include <QColor>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace kivo {

// Four capsules, lit up to the thermal level in the level's colour. Without a level (the
// computer has no thermal zones with trip points) none is lit. Hidden from screen readers: the
// readout beside it names the level.
class ThermalScale : public QWidget {
  Q_OBJECT

 public:
  explicit ThermalScale(QWidget* parent = nullptr);

  void setLevel(std::optional<ThermalLevel> level);
  std::optional<ThermalLevel> level() const { return level_; }

  // How many capsules are lit: the level's index + 1, none without a level.
  static int litCount(std::optional<ThermalLevel> level);
  // The four capsules, 3 apart, 6 high, centred vertically; none narrower than 0.
  static std::vector<QRectF> capsuleFrames(const QRectF& rect);
  // The one colour of a thermal level wherever it is shown: success, textPrimary, warning, danger.
  static DynamicColor tone(ThermalLevel level);
  // The lit colour, resolved.
  static QColor levelColor(ThermalLevel level, bool dark) { return tone(level).resolve(dark); }
  static void paint(QPainter& painter, const QRectF& rect, std::optional<ThermalLevel> level, bool dark);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<ThermalLevel> level_;
};

}  // namespace kivo
