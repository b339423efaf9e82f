#include "design/SideScroll.h"

#include <QEvent>
#include <QScrollBar>

namespace kivo {

SideScroll::SideScroll(QWidget* content, QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setWidgetResizable(true);
  setWidget(content);
  // The canvas of the card shows through.
  viewport()->setAutoFillBackground(false);
  content->setAutoFillBackground(false);
  content->installEventFilter(this);
}

QSize SideScroll::sizeHint() const {
  const QWidget* content = widget();
  if (!content) return QScrollArea::sizeHint();
  int height = content->sizeHint().height();
  if (horizontalScrollBar()->isVisible()) height += horizontalScrollBar()->sizeHint().height();
  return {content->sizeHint().width(), height};
}

QSize SideScroll::minimumSizeHint() const { return {0, sizeHint().height()}; }

bool SideScroll::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget() && event->type() == QEvent::LayoutRequest) {
    updateGeometry();
    setFixedHeight(sizeHint().height());
  }
  return QScrollArea::eventFilter(watched, event);
}

void SideScroll::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  // The scroll bar comes and goes with the width: make room for it.
  setFixedHeight(sizeHint().height());
}

}  // namespace kivo
