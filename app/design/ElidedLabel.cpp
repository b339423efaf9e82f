#include "design/ElidedLabel.h"

#include <QEvent>

#include <algorithm>

namespace kivo {

ElidedLabel::ElidedLabel(const QFont& font, DynamicColor tone, Qt::TextElideMode mode, QWidget* parent)
    : ToneLabel(QString(), font, tone, parent), mode_(mode) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text) {
  if (text == full_ && !text.isEmpty()) return;
  full_ = text;
  setAccessibleName(full_);
  updateGeometry();
  refit();
}

QSize ElidedLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  const QMargins margins = contentsMargins();
  return {metrics.horizontalAdvance(full_) + 2 * margin() + margins.left() + margins.right() + 1,
          metrics.height() + 2 * margin() + margins.top() + margins.bottom()};
}

void ElidedLabel::setShrinks(bool shrinks) {
  if (shrinks == shrinks_) return;
  shrinks_ = shrinks;
  updateGeometry();
}

QSize ElidedLabel::minimumSizeHint() const {
  const QFontMetrics metrics(font());
  const QSize whole = sizeHint();
  if (!shrinks_) return whole;
  return {std::min(whole.width(), metrics.horizontalAdvance(QStringLiteral("…")) * 3), whole.height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  ToneLabel::resizeEvent(event);
  refit();
}

void ElidedLabel::changeEvent(QEvent* event) {
  ToneLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateGeometry();
    refit();
  }
}

QString plainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void ElidedLabel::refit() {
  const QRect room = contentsRect().adjusted(margin(), 0, -margin(), 0);
  const QString shown = fontMetrics().elidedText(full_, mode_, std::max(0, room.width()));
  elided_ = shown != full_;
  if (text() != shown) setText(shown);
  const QString tip = elided_ ? plainToolTip(full_) : QString();
  if (toolTip() != tip) setToolTip(tip);
}

}  // namespace kivo
