#pragma once

#include <QScrollArea>

namespace kivo {

// Holds a wide table (interfaces, block devices) so that a narrow window scrolls the table
// sideways instead of widening the whole page. As tall as its content (plus the scroll bar
// when one shows); never scrolls vertically.
class SideScroll : public QScrollArea {
  Q_OBJECT

 public:
  explicit SideScroll(QWidget* content, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace kivo
