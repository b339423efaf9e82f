#include "design/FocusRing.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFocusFrame>
#include <QMenu>
#include <QMenuBar>

namespace kivo {

FocusRing::FocusRing(QObject* parent) : QObject(parent) {
  qApp->installEventFilter(this);
}

QWidget* FocusRing::ringed() const {
  return frame_ && frame_->isVisible() ? frame_->widget() : nullptr;
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusIn || !watched->isWidgetType()) return false;
  switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
      keyboard_ = true;
      break;
    case Qt::MouseFocusReason:
      keyboard_ = false;
      break;
    default:
      break;  // a window coming back or a popup closing keeps the way focus moved last
  }
  auto* widget = static_cast<QWidget*>(watched);
  const bool ringable = keyboard_ && !widget->isWindow() && qobject_cast<QMenu*>(widget) == nullptr &&
                        qobject_cast<QMenuBar*>(widget) == nullptr;
  ring(ringable ? widget : nullptr);
  return false;
}

void FocusRing::ring(QWidget* widget) {
  if (widget == nullptr) {
    disconnect(watch_);
    if (frame_) frame_->setWidget(nullptr);
    return;
  }
  if (!frame_) frame_ = new QFocusFrame(widget);
  if (frame_->widget() == widget) return;
  frame_->setWidget(widget);
  // A ringed widget that goes away takes the ring with it, rather than leaving it on a freed widget.
  disconnect(watch_);
  watch_ = connect(widget, &QObject::destroyed, frame_, [frame = frame_] { frame->setWidget(nullptr); });
}

}  // namespace kivo
