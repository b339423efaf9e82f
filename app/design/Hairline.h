#pragma once

#include <QWidget>

namespace kivo {

// A one-pixel line in the hairline colour, between entries of a list or beside a pane. It
// follows the appearance and is hidden from screen readers.
class Hairline : public QWidget {
 public:
  explicit Hairline(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kivo
