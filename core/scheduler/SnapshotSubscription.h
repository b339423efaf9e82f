#pragma once

#include "scheduler/TelemetrySnapshot.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace kivo {

// One subscriber's slot: it holds only the newest unread snapshot, so a reader that lags
// skips to the latest instead of working through a backlog. Dropping the last reference
// ends the subscription; the engine prunes it at its next publish.
class SnapshotSubscription {
 public:
  using Snapshot = std::shared_ptr<const TelemetrySnapshot>;

  // Called on the engine's thread after each publish; keep it short (post to your own thread).
  void setWakeUp(std::function<void()> wakeUp);

  // The newest unread snapshot, or null when none arrived since the last take.
  Snapshot take();
  // Waits up to timeout for a snapshot, then takes it.
  Snapshot waitAndTake(std::chrono::milliseconds timeout);

  // The engine's side.
  void publish(Snapshot snapshot);

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  Snapshot pending_;
  std::function<void()> wakeUp_;
};

}  // namespace kivo
