#include "design/HintFence.h"

#include <QEvent>

namespace kivo {

HintFence::HintFence(QWidget* child, QWidget* parent) : QWidget(parent), child_(child) {
  child_->setParent(this);
  setSizePolicy(child_->sizePolicy());
  hint_ = child_->sizeHint();
  minimum_ = child_->minimumSizeHint();
}

void HintFence::sync() {
  const QSize hint = child_->sizeHint();
  const QSize minimum = child_->minimumSizeHint();
  if (hint == hint_ && minimum == minimum_) return;
  hint_ = hint;
  minimum_ = minimum;
  updateGeometry();
}

QSize HintFence::sizeHint() const {
  return child_->sizeHint();
}

QSize HintFence::minimumSizeHint() const {
  return child_->minimumSizeHint();
}

bool HintFence::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::LayoutRequest:
      // The child asked for a relayout (it has no layout above it but this fence).
      sync();
      return true;
    case QEvent::Show:
      // While hidden the child's requests do not arrive.
      sync();
      break;
    case QEvent::Resize:
      child_->setGeometry(rect());
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

}  // namespace kivo
