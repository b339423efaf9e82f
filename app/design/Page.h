#pragma once

#include <QRect>
#include <QScrollArea>

namespace kivo {

// The frame of every page: a vertically scrolling column on the canvas colour, at most 1500
// pixels wide and centred, padded 24 × density, its children 16 × density apart.
class Page : public QScrollArea {
  Q_OBJECT

 public:
  explicit Page(QWidget* parent = nullptr);

  // Appends a child to the column (the header first, then cards and card rows).
  void addWidget(QWidget* child);
  QWidget* content() const;

  // The column inside a page of this width: at most kMaxWidth wide, centred.
  static QRect columnRect(int width);

  static constexpr int kMaxWidth = 1500;
  static constexpr double kPadding = 24;
  static constexpr double kSpacing = 16;
};

}  // namespace kivo
