#include "design/ControlStyle.h"

#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace kivo {

namespace {

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
  return mixed(palette.color(QPalette::Active, QPalette::Text), palette.color(QPalette::Active, QPalette::Base), 0.5);
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

}  // namespace kivo
