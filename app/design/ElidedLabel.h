#pragma once

#include "design/ToneLabel.h"

namespace kivo {

// A tooltip that shows the text as it is: Qt reads any tooltip that looks like markup as rich
// text, so outside text (a process named "<img src=…>") is escaped and its blanks kept.
QString plainToolTip(const QString& text);

// Outside text on one line that never widens its layout: where it does not fit it is cut with
// an ellipsis (at the end, or in the middle for paths, whose file name matters), and the whole
// text is its tooltip. Its accessible name is always the whole text.
class ElidedLabel : public ToneLabel {
  Q_OBJECT

 public:
  ElidedLabel(const QFont& font, DynamicColor tone, Qt::TextElideMode mode = Qt::ElideRight,
              QWidget* parent = nullptr);

  void setFullText(const QString& text);
  const QString& fullText() const { return full_; }
  bool isElided() const { return elided_; }

  // Whether the label may be narrower than its text (the default); when not, it keeps the
  // whole text's width as a plain label does.
  void setShrinks(bool shrinks);

  // The whole text's width; at least room for the ellipsis.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void refit();

  QString full_;
  Qt::TextElideMode mode_;
  bool elided_ = false;
  bool shrinks_ = true;
};

}  // namespace kivo
