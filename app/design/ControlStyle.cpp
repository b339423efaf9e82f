#include "design/ControlStyle.h"

#include "design/Appearance.h"
#include "design/Tokens.h"

#include <QFocusFrame>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace kivo {

namespace {

constexpr int kFocusRingWidth = 2;

// The focus frame's ring sits just outside the widget; where the widget fills its parent (a
// page's scroll area, a table) that part is cut off, so the ring moves inside what is left.
QRect ringRect(const QRect& frame, const QWidget* focusFrame) {
  const auto* ring = qobject_cast<const QFocusFrame*>(focusFrame);
  const QWidget* focused = ring != nullptr ? ring->widget() : nullptr;
  const QWidget* around = focused != nullptr ? focused->parentWidget() : nullptr;
  if (around == nullptr) return frame;
  // The frame may belong to a widget further up than the focused widget's parent.
  const QPoint origin = around->mapToGlobal(QPoint(0, 0)) - ring->mapToGlobal(QPoint(0, 0));
  return frame & QRect(origin, around->size());
}

QColor mixed(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * share + b.redF() * (1 - share)),
                          static_cast<float>(a.greenF() * share + b.greenF() * (1 - share)),
                          static_cast<float>(a.blueF() * share + b.blueF() * (1 - share)));
}

// A window colour from which Fusion derives `frame` as its outline: it darkens the window by
// `darker` percent (and lightens a check box outline by 110 %) in HSV value, keeping hue and
// saturation, so scaling the value back up gives the frame again.
QColor windowFor(const QColor& frame, double darker) {
  float hue = 0;
  float saturation = 0;
  float value = 0;
  float alpha = 1;
  frame.getHsvF(&hue, &saturation, &value, &alpha);
  return QColor::fromHsvF(hue, saturation, std::min(1.0f, static_cast<float>(value * darker)), alpha);
}

}  // namespace

ControlStyle::ControlStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QColor ControlStyle::frameColor(const QPalette& palette) {
  return mixed(palette.color(QPalette::Active, QPalette::Text),
               palette.color(QPalette::Active, QPalette::Base), 0.5);
}

void ControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
  // Fusion takes the outline of these indicators, and nothing else of them, from the window colour.
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
  if (button != nullptr && (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton)) {
    QStyleOptionButton framed(*button);
    const double darker = element == PE_IndicatorCheckBox ? 1.4 / 1.1 : 1.5;
    framed.palette.setColor(QPalette::Window, windowFor(frameColor(button->palette), darker));
    QProxyStyle::drawPrimitive(element, &framed, painter, widget);
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ControlStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
  const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
  if (control != CC_Slider || slider == nullptr || (slider->subControls & SC_SliderHandle) == 0) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  QStyleOptionSlider groove(*slider);
  groove.subControls &= ~SC_SliderHandle;
  QProxyStyle::drawComplexControl(control, &groove, painter, widget);

  const bool dark = Appearance::isDark(slider->palette);
  const bool enabled = (slider->state & State_Enabled) != 0;
  const QRectF handle =
      QRectF(subControlRect(CC_Slider, slider, SC_SliderHandle, widget)).adjusted(1, 1, -1, -1);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(QPen((enabled ? Palette::textSecondary : Palette::hairline).resolve(dark), 1.5));
  painter->setBrush(Palette::surface.resolve(dark));
  painter->drawRoundedRect(handle.adjusted(0.75, 0.75, -0.75, -0.75), 3, 3);
  painter->restore();
}

void ControlStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
  if (element != CE_FocusFrame) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  const QRectF ring = ringRect(option->rect, widget);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(QPen(Palette::accent.resolve(Appearance::isDark(option->palette)), kFocusRingWidth));
  painter->setBrush(Qt::NoBrush);
  const double half = kFocusRingWidth / 2.0;
  painter->drawRoundedRect(ring.adjusted(half, half, -half, -half), 5, 5);
  painter->restore();
}

int ControlStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) return kFocusRingWidth + 1;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

int ControlStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
  // Over the widget, or a ring drawn inside a widget that fills its parent would be under it.
  if (hint == SH_MenuBar_AltKeyNavigation || hint == SH_FocusFrame_AboveWidget) return 1;
  if (hint == SH_FocusFrame_Mask) {
    // Only the ring's band: the frame lies over the widget and must not hide it.
    if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData);
        mask != nullptr && widget != nullptr) {
      const QRect ring = ringRect(widget->rect(), widget);
      const int band = kFocusRingWidth + 2;  // room for the rounded corners
      mask->region = QRegion(ring) - QRegion(ring.adjusted(band, band, -band, -band));
    }
    return 1;
  }
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace kivo
