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

  DynamicColor tone() const { return tone_; }
  void setTone(DynamicColor tone);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void applyTone();

  DynamicColor tone_;
};

}  // namespace kivo
