#pragma once

#include <QLayout>
#include <QList>

namespace kivo {

// A layout that keeps its items in a list of its own, in the order they came, and deletes them
// with itself; it starts without margins. A subclass only measures and places items().
class ItemListLayout : public QLayout {
 public:
  explicit ItemListLayout(QWidget* parent = nullptr);
  ~ItemListLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;

 protected:
  const QList<QLayoutItem*>& items() const { return items_; }

 private:
  QList<QLayoutItem*> items_;
};

}  // namespace kivo
