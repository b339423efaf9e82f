#include "design/ToneLabel.h"

#include "design/Appearance.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>

namespace kivo {

ToneLabel::ToneLabel(const QString& text, const QFont& font, DynamicColor tone, QWidget* parent)
    : QLabel(parent), tone_(tone) {
  setTextFormat(Qt::PlainText);
  setFont(font);
  setText(text);
  applyTone();
}

ToneLabel* ToneLabel::note(const QString& text, QWidget* parent, bool wrap) {
  auto* label = new ToneLabel(text, Typeface::caption(), Palette::textTertiary, parent);
  label->setWordWrap(wrap);
  return label;
}

void ToneLabel::setTone(DynamicColor tone) {
  if (tone == tone_) return;
  tone_ = tone;
  applyTone();
}

void ToneLabel::setSelectableOnHover(bool selectable) {
  selectableOnHover_ = selectable;
  if (selectable && underMouse()) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
  } else {
    setTextInteractionFlags(Qt::NoTextInteraction);
  }
}

void ToneLabel::enterEvent(QEnterEvent* event) {
  if (selectableOnHover_) setTextInteractionFlags(Qt::TextSelectableByMouse);
  QLabel::enterEvent(event);
}

void ToneLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  // A selection outlives the hover, and so does an open context menu (its Copy needs the text).
  if (selectableOnHover_ && !hasSelectedText() && QApplication::activePopupWidget() == nullptr)
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void ToneLabel::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  // Focus gone elsewhere ends the selection, as it does in any label.
  if (selectableOnHover_ && event->reason() != Qt::PopupFocusReason && !underMouse())
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void ToneLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) applyTone();
}

void ToneLabel::applyTone() {
  // The scheme is the one of the surroundings: our own text colour must not decide it.
  const QWidget* around = parentWidget();
  const bool dark = around != nullptr ? Appearance::isDark(around) : Appearance::isDark(palette());
  const QColor color = tone_.resolve(dark);
  if (palette().color(QPalette::WindowText) == color &&
      palette().isBrushSet(QPalette::Active, QPalette::WindowText))
    return;
  QPalette p = palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::WindowText, color);
    p.setColor(group, QPalette::Text, color);
  }
  setPalette(p);
}

}  // namespace kivo
