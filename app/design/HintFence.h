#pragma once

#include <QSize>
#include <QWidget>

namespace kivo {

// Holds one widget and stands in for it in a layout, passing its size hints and policy through.
// A change inside the widget (a label's new text) relayouts the surroundings only when the
// hints did change: a figure that keeps its width spares the whole card a relayout per tick.
class HintFence : public QWidget {
 public:
  // Takes `child` as its own; the child fills the fence.
  HintFence(QWidget* child, QWidget* parent = nullptr);

  QWidget* child() const { return child_; }
  // Passes a change of the child's hints on to the layout; calls to it are cheap when nothing changed.
  void sync();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  bool event(QEvent* event) override;

 private:
  QWidget* child_;
  QSize hint_;
  QSize minimum_;
};

}  // namespace kivo
