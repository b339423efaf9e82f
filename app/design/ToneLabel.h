#pragma once

#include "design/Tokens.h"

#include <QLabel>

namespace kivo {

// A plain-text label drawn in a palette colour that follows the appearance: the colour is
// resolved again whenever the palette it inherits changes (Light, Dark, Match System), so a
// switch repaints it without rebuilding anything.
class ToneLabel : public QLabel {
  Q_OBJECT

 public:
  ToneLabel(const QString& text, const QFont& font, DynamicColor tone, QWidget* parent = nullptr);

  // The small print of a card: a caption in the tertiary colour, wrapped unless told otherwise.
  static ToneLabel* note(const QString& text, QWidget* parent, bool wrap = true);

  DynamicColor tone() const { return tone_; }
  void setTone(DynamicColor tone);

  // Selectable with the mouse, for a figure that changes every tick: the text machinery that
  // selection needs exists only while the pointer is over the label or text is selected, so a
  // new figure costs a plain relayout the rest of the time.
  void setSelectableOnHover(bool selectable);
  bool selectableOnHover() const { return selectableOnHover_; }

 protected:
  void changeEvent(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void applyTone();

  DynamicColor tone_;
  bool selectableOnHover_ = false;
};

}  // namespace kivo
