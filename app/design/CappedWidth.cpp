#include "design/CappedWidth.h"

#include "design/AdaptiveRowLayout.h"
#include "design/CardRow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace kivo::CappedWidth {
namespace {

class Watcher : public QObject {
 public:
  Watcher(QWidget* card, CardRow* row, int maximum)
      : QObject(card),
        card_(card),
        row_(row),
        margins_(row->rowLayout()->contentsMargins().left() + row->rowLayout()->contentsMargins().right()),
        breakpoint_(row->rowLayout()->breakpoint()),
        maximum_(maximum) {
    row->installEventFilter(this);
    refresh();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == row_ && event->type() == QEvent::Resize) refresh();
    return false;
  }

 private:
  void refresh() {
    if (!row_) return;
    const int wanted = maximumFor(row_->width() - margins_, breakpoint_, maximum_);
    if (card_->maximumWidth() != wanted) card_->setMaximumWidth(wanted);
  }

  QWidget* card_;
  // Only its size is read, so also while it is being taken down.
  QPointer<QWidget> row_;
  int margins_;
  double breakpoint_;
  int maximum_;
};

}  // namespace

int maximumFor(int rowWidth, double breakpoint, int maximum) {
  return rowWidth >= breakpoint ? maximum : QWIDGETSIZE_MAX;
}

void apply(QWidget* card, CardRow* row, int minimum, int maximum) {
  card->setMinimumWidth(minimum);
  new Watcher(card, row, maximum);
}

}  // namespace kivo::CappedWidth
