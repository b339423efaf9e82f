#include "design/CoreBars.h"

#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {
constexpr double kSpacing = 3;
constexpr double kRadius = 2;
constexpr double kSliver = 2;
}  // namespace

CoreBars::CoreBars(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  setAccessibleName(tr("CPU cores"));
}

void CoreBars::setCores(std::span<const CPULoad> cores) {
  if (std::equal(cores.begin(), cores.end(), cores_.begin(), cores_.end())) return;
  cores_.assign(cores.begin(), cores.end());
  const QString value = accessibilityValue(cores_);
  if (value != accessibleDescription()) setAccessibleDescription(value);
  update();
}

void CoreBars::setColor(const ChartColor& color) {
  color_ = color;
  update();
}

std::vector<QRectF> CoreBars::barFrames(std::size_t count, const QRectF& rect) {
  std::vector<QRectF> frames;
  if (count == 0) return frames;
  frames.reserve(count);
  const double n = static_cast<double>(count);
  const double width = std::max((rect.width() - kSpacing * (n - 1)) / n, 0.0);
  for (std::size_t i = 0; i < count; ++i) {
    frames.emplace_back(rect.left() + static_cast<double>(i) * (width + kSpacing), rect.top(), width,
                        rect.height());
  }
  return frames;
}

double CoreBars::fillHeight(const CPULoad& core, double height) {
  const double busy = core.busy();
  const double share = std::isfinite(busy) ? std::clamp(busy, 0.0, 1.0) : 0.0;
  return std::min(std::max(share * height, kSliver), std::max(height, 0.0));
}

QString CoreBars::accessibilityValue(std::span<const CPULoad> cores) {
  QStringList parts;
  parts.reserve(static_cast<qsizetype>(cores.size()));
  for (std::size_t i = 0; i < cores.size(); ++i) {
    const double percent = cores[i].busy() * 100;
    // Halves away from zero, as std::round does; a load that is not finite is unknown, not 0.
    const QString figure =
        std::isfinite(percent)
            ? QString::number(static_cast<long long>(std::round(percent))) + QStringLiteral(" %")
            : QStringLiteral("—");
    parts << QStringLiteral("%1: %2").arg(i + 1).arg(figure);
  }
  return parts.join(QStringLiteral(", "));
}

void CoreBars::paint(QPainter& painter, const QRectF& rect, std::span<const CPULoad> cores, const QColor& bar,
                     const QColor& track, const QColor& trackEdge) {
  const std::vector<QRectF> frames = barFrames(cores.size(), rect);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const QRectF& frame = frames[i];
    if (frame.width() <= 0) continue;
    const double radius = std::min(kRadius, frame.width() / 2);
    painter.setBrush(track);
    if (trackEdge.isValid()) {
      painter.setPen(QPen(trackEdge, 1));
      painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
      painter.setPen(Qt::NoPen);
    } else {
      painter.drawRoundedRect(frame, radius, radius);
    }
    const double fill = fillHeight(cores[i], frame.height());
    painter.setBrush(bar);
    painter.drawRoundedRect(QRectF(frame.left(), frame.bottom() - fill, frame.width(), fill), radius, radius);
  }
  painter.restore();
}

void CoreBars::setBackdrop(std::optional<DynamicColor> color) {
  backdrop_ = color;
  setAttribute(Qt::WA_OpaquePaintEvent, backdrop_.has_value());
  update();
}

QSize CoreBars::sizeHint() const {
  return {240, 64};
}
QSize CoreBars::minimumSizeHint() const {
  return {40, 16};
}

void CoreBars::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (backdrop_) painter.fillRect(rect(), backdrop_->resolve(this));
  paint(painter, QRectF(rect()), cores_, color_.resolve(this), Palette::surfaceRaised.resolve(this),
        trackEdge.resolve(this));
}

}  // namespace kivo
