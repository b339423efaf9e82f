#pragma once

#include "design/Tokens.h"

#include <QFont>
#include <QWidget>

#include <optional>

namespace kivo {

// One large figure, already formatted by the caller and shown as given ("—" when absent), with
// an optional caption under it. A figure too wide for its space shrinks to 0.6 of its size
// before it is cut with an ellipsis.
class Readout : public QWidget {
  Q_OBJECT

 public:
  Readout(std::optional<QString> value, std::optional<QString> captionKey, qreal size, DynamicColor color,
          QWidget* parent = nullptr);

  void setValue(std::optional<QString> value);
  void setColor(DynamicColor color);
  // An already translated caption; empty shows none.
  void setCaption(const QString& caption);
  QString shownValue() const { return value_; }
  QString shownCaption() const { return caption_; }

  // The pixel size the figure is drawn at: its size while its natural width fits, scaled down
  // to fit, never below 0.6 of the size. Bad inputs give the size itself.
  static qreal fittedSize(qreal size, qreal naturalWidth, qreal available);
  // Whether two figures differ only in their ASCII digits (and so are one width).
  static bool sameButDigits(const QString& a, const QString& b);
  static constexpr qreal kMinimumScale = 0.6;
  static constexpr int kSpacing = 2;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont valueFont(qreal size) const;
  void measureCaption(QString caption);
  void refreshAccessibility();

  QString value_;
  QString caption_;
  qreal size_;
  DynamicColor color_;
  // Measured once per text: the size hint, the fit and the paint all need them.
  QFont font_;
  qreal valueWidth_ = 0;
  qreal valueHeight_ = 0;
  qreal captionWidth_ = 0;
  qreal captionHeight_ = 0;
};

}  // namespace kivo
