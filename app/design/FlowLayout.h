#pragma once

#include "design/ItemListLayout.h"

namespace kivo {

// Items left to right, vertically centred in their line, continuing on a new line when the
// width runs out; answers its height for a width, so a narrow card grows instead of squeezing.
class FlowLayout : public ItemListLayout {
 public:
  FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent = nullptr);

  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Places (or only measures) the items in rect; returns the height used.
  int place(const QRect& rect, bool apply) const;

  int horizontal_;
  int vertical_;
};

}  // namespace kivo
