#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace kivo::test {

// Runs the event loop until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = 10'000) {
  QDeadlineTimer deadline(milliseconds);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
  }
  return true;
}

// Runs the event loop for a while, after the awaited event has come, so that a check can see
// nothing more came after it. A busy machine only makes such a check weaker, never wrong.
inline void runEventsFor(int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace kivo::test
