#include "design/QualityBadge.h"

#include "texts/Localized.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace kivo {
namespace {

constexpr int kPadX = 5;
constexpr int kPadY = 2;

const QFont& badgeFont() {
  static const QFont font = Typeface::system(9, QFont::DemiBold);
  return font;
}

QString shown(MetricQuality quality) {
  return QualityBadge::text(quality).toUpper();
}

}  // namespace

QualityBadge::QualityBadge(MetricQuality quality, QWidget* parent) : QWidget(parent), quality_(quality) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFont(badgeFont());
  refresh();
}

void QualityBadge::setQuality(MetricQuality quality) {
  if (quality == quality_) return;
  quality_ = quality;
  refresh();
  updateGeometry();
  update();
}

QString QualityBadge::text(MetricQuality quality) {
  switch (quality) {
    case MetricQuality::measured:
      return kivo::tr("Measured");
    case MetricQuality::derived:
      return kivo::tr("Derived");
    case MetricQuality::estimated:
      return kivo::tr("Estimate");
    case MetricQuality::bestEffort:
      return kivo::tr("Best effort");
    case MetricQuality::unavailable:
      return kivo::tr("Unavailable");
  }
  return {};
}

QString QualityBadge::help(MetricQuality quality) {
  switch (quality) {
    case MetricQuality::measured:
      return kivo::tr("Read directly from a documented system interface.");
    case MetricQuality::derived:
      return kivo::tr("Computed from measured counters.");
    case MetricQuality::estimated:
      return kivo::tr("An estimate, not a measurement.");
    case MetricQuality::bestEffort:
      return kivo::tr(
          "Read from a kernel or driver interface that is not a stable, documented one. It may be missing or "
          "change.");
    case MetricQuality::unavailable:
      return kivo::tr("Not available through supported system interfaces.");
  }
  return {};
}

DynamicColor QualityBadge::tint(MetricQuality quality) {
  return quality == MetricQuality::unavailable ? Palette::textTertiary : Palette::warning;
}

void QualityBadge::refresh() {
  setToolTip(help(quality_));
  setAccessibleName(help(quality_));
}

QSize QualityBadge::sizeHint() const {
  const QFontMetrics metrics(badgeFont());
  return {metrics.horizontalAdvance(shown(quality_)) + 2 * kPadX, metrics.height() + 2 * kPadY};
}

void QualityBadge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor color = tint(quality_).resolve(this);
  QColor fill = color;
  fill.setAlphaF(0.14f);
  const QRectF box = QRectF(rect());
  const qreal radius = box.height() / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(box, radius, radius);
  painter.setPen(color);
  painter.setFont(badgeFont());
  painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, shown(quality_));
}

}  // namespace kivo
