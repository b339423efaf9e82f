#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;

namespace kivo {

// A segmented picker: checkable segments side by side on a raised track, the chosen one filled
// with the accent. Each segment is a tab stop with its own focus ring. Only the user's choice (a
// click, a key, a screen reader's action) emits chosen(); setCurrent() shows a value without
// announcing it.
class SegmentedControl : public QWidget {
  Q_OBJECT

 public:
  explicit SegmentedControl(QWidget* parent = nullptr);

  // Appends a segment for `id`; objectName lets tests find it.
  QAbstractButton* addSegment(int id, const QString& title, const QString& objectName);
  QAbstractButton* segment(int id) const;
  // The checked segment's id; -1 before any is checked.
  int current() const;
  void setCurrent(int id);

 signals:
  void chosen(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QButtonGroup* group_ = nullptr;
  QHBoxLayout* row_ = nullptr;
};

}  // namespace kivo
