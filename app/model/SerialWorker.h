#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kivo {

// One thread that runs jobs one after another, in the order they were given. Built on the
// standard primitives so that ThreadSanitizer sees every hand-over.
class SerialWorker {
 public:
  SerialWorker();
  // Runs the jobs already given, then ends the thread.
  ~SerialWorker();
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  void post(std::function<void()> job);
  // Returns once every job given so far has run. Never from a job.
  void waitIdle();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kivo
