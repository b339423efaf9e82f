#pragma once

#include <QLayout>
#include <QList>

namespace kivo {

// Items left to right, vertically centred in their line, continuing on a new line when the
// width runs out; answers its height for a width, so a narrow card grows instead of squeezing.
class FlowLayout : public QLayout {
 public:
  FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent = nullptr);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Places (or only measures) the items in rect; returns the height used.
  int place(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int horizontal_;
  int vertical_;
};

}  // namespace kivo
