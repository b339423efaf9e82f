#pragma once

#include "design/Tokens.h"

#include <QFont>
#include <QWidget>

namespace kivo {

// One line of a widget: an optional tinted symbol, a leading text cut to the room it has and a
// trailing text kept whole (a process name and its figure, a volume and what is left on it).
// Both texts are drawn as given, never as markup; the line is spoken as one element.
class WidgetLine : public QWidget {
  Q_OBJECT

 public:
  WidgetLine(const QFont& leadingFont, DynamicColor leadingColor, const QFont& trailingFont,
             DynamicColor trailingColor, Qt::TextElideMode elide, QWidget* parent = nullptr);

  void setTexts(const QString& leading, const QString& trailing);
  void setSymbol(const QString& symbol, DynamicColor color);
  const QString& leading() const { return leading_; }
  const QString& trailing() const { return trailing_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont leadingFont_;
  DynamicColor leadingColor_;
  QFont trailingFont_;
  DynamicColor trailingColor_;
  Qt::TextElideMode elide_;
  QString leading_;
  QString trailing_;
  QString symbol_;
  DynamicColor symbolColor_{};
  // Measured once per text; the cut leading text is kept for the room it was cut to.
  qreal leadingWidth_ = 0;
  qreal trailingWidth_ = 0;
  qreal height_ = 0;
  QString shownLeading_;
  qreal shownRoom_ = -1;
};

}  // namespace kivo
