#pragma once

#include "model/SerialWorker.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace kivo {

// The model's serial worker with the way back: a job runs on the worker thread and its result is
// applied on the thread that built this object, in the order the jobs were given. Results still
// on their way when this object goes are dropped, never applied.
class ModelWorker {
 public:
  ModelWorker();
  // Runs the jobs already given (a bookmark made just before quitting is kept), then drops
  // their results.
  ~ModelWorker();
  ModelWorker(const ModelWorker&) = delete;
  ModelWorker& operator=(const ModelWorker&) = delete;

  // A job without a result.
  void post(std::function<void()> job);
  // apply(job()) on the owning thread.
  template <typename Job, typename Apply>
  void post(Job job, Apply apply) {
    worker_.post([this, job = std::move(job), apply = std::move(apply)]() mutable {
      deliver([apply, result = job()]() mutable { apply(std::move(result)); });
    });
  }

  // Waits until the worker is idle and every result it sent back is applied, over a few rounds
  // so that results giving the worker more to do settle too. Never from a job.
  void settle();

 private:
  // From the worker thread: queues one result and wakes the owning thread for the first.
  void deliver(std::function<void()> apply);
  void applyResults();

  // Receives the queued calls; results posted to it die with it.
  std::unique_ptr<QObject> context_;
  std::mutex resultsMutex_;
  std::vector<std::function<void()>> results_;
  // Last, so it ends first: its jobs may still deliver while it finishes them.
  SerialWorker worker_;
};

}  // namespace kivo
