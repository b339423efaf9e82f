#pragma once

#include <QToolButton>

namespace kivo {

// A flat button that opens its menu at once ("Layout", "Export"), with its chevron drawn on the
// text line after the text, where a reader looks for it, instead of the style's arrow in the
// bottom corner.
class MenuButton : public QToolButton {
  Q_OBJECT

 public:
  explicit MenuButton(QWidget* parent = nullptr);

  // Where the chevron is drawn: after the text, centred on the text line.
  QRectF chevronRect() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  static constexpr int kChevronRoom = 14;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kivo
