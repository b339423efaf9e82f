#include "desktop/ForegroundTracker.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace kivo {

ForegroundTracker::ForegroundTracker(QObject* parent, std::chrono::milliseconds delay)
    : QObject(parent), delay_(delay), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, &ForegroundTracker::onTimer);
}

void ForegroundTracker::start(WindowSource source) {
  source_ = source ? std::move(source) : WindowSource(&ForegroundTracker::applicationWindows);
  if (started_) return;
  started_ = true;
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    app->installEventFilter(this);
    connect(app, &QGuiApplication::focusWindowChanged, this, &ForegroundTracker::schedule);
  }
}

bool ForegroundTracker::inForeground(const std::vector<WindowFacts>& windows) {
  for (const WindowFacts& w : windows)
    if (w.visible && w.exposed && !w.minimized && w.normalLevel && w.titled) return true;
  return false;
}

WindowFacts ForegroundTracker::facts(const QWindow& window) {
  const Qt::WindowFlags flags = window.flags();
  const Qt::WindowType type = window.type();
  WindowFacts f;
  f.visible = window.isVisible();
  f.exposed = window.isExposed();
  f.minimized = (window.windowStates() & Qt::WindowMinimized) || window.visibility() == QWindow::Minimized;
  f.normalLevel = (type == Qt::Window || type == Qt::Dialog) && !(flags & Qt::WindowStaysOnTopHint) &&
                  !(flags & Qt::X11BypassWindowManagerHint);
  const bool customized = flags & Qt::CustomizeWindowHint;
  f.titled = !(flags & Qt::FramelessWindowHint) && (!customized || (flags & Qt::WindowTitleHint));
  return f;
}

std::vector<WindowFacts> ForegroundTracker::applicationWindows() {
  std::vector<WindowFacts> result;
  const auto windows = QGuiApplication::topLevelWindows();
  result.reserve(static_cast<std::size_t>(windows.size()));
  for (const QWindow* window : windows) result.push_back(facts(*window));
  return result;
}

void ForegroundTracker::update() {
  const bool foreground = inForeground(source_ ? source_() : applicationWindows());
  emit foregroundComputed(foreground);
}

void ForegroundTracker::schedule() {
  due_ = QDeadlineTimer(delay_, Qt::PreciseTimer);
  if (timer_->isActive())
    moreEvents_ = true;
  else
    timer_->start(delay_);
}

void ForegroundTracker::onTimer() {
  update();
  // Events arrived while waiting: report once more a full delay after the last one.
  if (!moreEvents_) return;
  moreEvents_ = false;
  const auto remaining =
      std::chrono::duration_cast<std::chrono::milliseconds>(due_.remainingTimeAsDuration());
  timer_->start(std::max(remaining, std::chrono::milliseconds(0)));
}

bool ForegroundTracker::eventFilter(QObject* watched, QEvent* event) {
  if (watched->isWindowType()) {
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::Expose:
      case QEvent::Close:
      case QEvent::WindowStateChange:
      case QEvent::WindowActivate:
      case QEvent::WindowDeactivate:
        schedule();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kivo
