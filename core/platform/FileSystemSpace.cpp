#include "platform/FileSystemSpace.h"

#include <sys/statvfs.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace kivo {

std::optional<FileSystemSpace> statFileSystem(const std::string& path) {
  struct statvfs st {};
  if (::statvfs(path.c_str(), &st) != 0) return std::nullopt;
  const std::uint64_t unit = st.f_frsize ? st.f_frsize : st.f_bsize;
  FileSystemSpace space;
  space.total = static_cast<std::uint64_t>(st.f_blocks) * unit;
  space.available = static_cast<std::uint64_t>(st.f_bavail) * unit;
  space.readOnly = (st.f_flag & ST_RDONLY) != 0;
  return space;
}

struct BoundedSpaceReader::Shared {
  Reader reader;
  mutable std::mutex mutex;
  std::condition_variable changed;
  std::set<std::string> running;  // paths whose read has not returned
};

namespace {
struct Job {
  std::optional<FileSystemSpace> result;
  bool done = false;
};
}  // namespace

BoundedSpaceReader::BoundedSpaceReader(Reader reader) : shared_(std::make_shared<Shared>()) {
  shared_->reader = std::move(reader);
}

BoundedSpaceReader::~BoundedSpaceReader() = default;

int BoundedSpaceReader::pending() const {
  std::lock_guard lock(shared_->mutex);
  return static_cast<int>(shared_->running.size());
}

std::vector<std::optional<FileSystemSpace>> BoundedSpaceReader::readAll(const std::vector<std::string>& paths,
                                                                        std::chrono::milliseconds budget) {
  const auto deadline = std::chrono::steady_clock::now() + budget;
  std::vector<std::shared_ptr<Job>> jobs(paths.size());
  {
    std::lock_guard lock(shared_->mutex);
    for (std::size_t i = 0; i < paths.size(); ++i) {
      if (shared_->running.count(paths[i])) continue;  // still stuck from an earlier call
      shared_->running.insert(paths[i]);
      jobs[i] = std::make_shared<Job>();
    }
  }
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!jobs[i]) continue;
    // The thread owns what it touches, so it may outlive this call and this reader.
    std::thread([shared = shared_, job = jobs[i], path = paths[i]] {
      auto result = shared->reader(path);
      std::lock_guard lock(shared->mutex);
      job->result = std::move(result);
      job->done = true;
      shared->running.erase(path);
      shared->changed.notify_all();
    }).detach();
  }
  std::vector<std::optional<FileSystemSpace>> results(paths.size());
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait_until(lock, deadline, [&] {
    for (const auto& job : jobs) {
      if (job && !job->done) return false;
    }
    return true;
  });
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (jobs[i] && jobs[i]->done) results[i] = jobs[i]->result;
  }
  return results;
}

}  // namespace kivo
