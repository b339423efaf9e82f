#include "scheduler/SnapshotSubscription.h"

namespace kivo {

void SnapshotSubscription::setWakeUp(std::function<void()> wakeUp) {
  std::lock_guard lock(mutex_);
  wakeUp_ = std::move(wakeUp);
}

SnapshotSubscription::Snapshot SnapshotSubscription::take() {
  std::lock_guard lock(mutex_);
  return std::exchange(pending_, nullptr);
}

SnapshotSubscription::Snapshot SnapshotSubscription::waitAndTake(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, timeout, [this] { return pending_ != nullptr; });
  return std::exchange(pending_, nullptr);
}

void SnapshotSubscription::publish(Snapshot snapshot) {
  std::function<void()> wakeUp;
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(snapshot);
    wakeUp = wakeUp_;
  }
  arrived_.notify_all();
  // Outside the lock: the callback may take() right away.
  if (wakeUp) wakeUp();
}

}  // namespace kivo
