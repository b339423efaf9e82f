#include "platform/AppLeaders.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>

namespace kivo {

AppLeaders::AppLeaders(std::string procRoot) : procRoot_(std::move(procRoot)) {
  if (procRoot_.empty() || procRoot_.back() != '/') procRoot_.push_back('/');
}

std::optional<QString> AppLeaders::cgroupPath(QByteArrayView file) {
  std::optional<QString> hybrid;
  qsizetype start = 0;
  while (start < file.size()) {
    qsizetype end = start;
    while (end < file.size() && file[end] != '\n') ++end;
    const QByteArrayView line = file.sliced(start, end - start);
    if (line.startsWith("0::")) return QString::fromUtf8(line.sliced(3));
    // Hybrid layout: "N:name=systemd:/path".
    const qsizetype colon = line.indexOf(':');
    if (colon >= 0 && line.sliced(colon + 1).startsWith("name=systemd:")) {
      hybrid = QString::fromUtf8(line.sliced(colon + 1 + 13));
    }
    start = end + 1;
  }
  return hybrid;
}

bool AppLeaders::isAppUnit(QStringView path) {
  const qsizetype slash = path.lastIndexOf(u'/');
  const QStringView leaf = slash >= 0 ? path.sliced(slash + 1) : path;
  if (!leaf.startsWith(u"app-") || leaf.size() <= 4) return false;
  if (leaf.endsWith(u".scope")) return leaf.size() > 10;
  if (leaf.endsWith(u".service")) {
    const qsizetype at = leaf.indexOf(u'@');
    return at > 4;
  }
  return false;
}

bool AppLeaders::leads(const std::optional<QString>& path, const std::optional<QString>& parentPath) {
  if (!path || !isAppUnit(*path)) return false;
  if (!parentPath) return true;
  if (*parentPath == *path) return false;
  // A parent in a cgroup below the unit is inside it as well.
  return !(parentPath->startsWith(*path) && parentPath->size() > path->size() &&
           parentPath->at(path->size()) == u'/');
}

std::optional<QString> AppLeaders::read(std::int32_t pid) {
  ++reads_;
  std::array<char, 64> name{};
  std::snprintf(name.data(), name.size(), "proc/%d/cgroup", pid);
  const std::string path = procRoot_ + name.data();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::array<char, 4096> buffer{};
  qsizetype size = 0;
  while (size < static_cast<qsizetype>(buffer.size())) {
    const ssize_t got = ::read(fd, buffer.data() + size, buffer.size() - static_cast<std::size_t>(size));
    if (got <= 0) break;
    size += got;
  }
  ::close(fd);
  return cgroupPath(QByteArrayView(buffer.data(), size));
}

void AppLeaders::begin(std::uint32_t uid) {
  ++generation_;
  uid_ = uid;
}

void AppLeaders::see(std::int32_t pid, std::int32_t parentPID, std::uint32_t uid,
                     const std::optional<QDateTime>& start) {
  if (uid != uid_) return;
  auto [it, inserted] = cache_.try_emplace(pid);
  Entry& entry = it->second;
  if (!inserted && entry.start != start) entry = Entry{};
  if (entry.reads < 2) {
    entry.start = start;
    entry.cgroup = read(pid);
    ++entry.reads;
  }
  entry.parentPID = parentPID;
  entry.seen = generation_;
}

const std::unordered_set<std::int32_t>& AppLeaders::finish() {
  std::erase_if(cache_, [this](const auto& item) { return item.second.seen != generation_; });
  pids_.clear();
  for (const auto& [pid, entry] : cache_) {
    if (!entry.cgroup || !isAppUnit(*entry.cgroup)) continue;
    const auto parent = cache_.find(entry.parentPID);
    // A parent of another user, or one not in the sample, is outside the user's app unit.
    const std::optional<QString> parentPath = parent != cache_.end() ? parent->second.cgroup : std::nullopt;
    if (leads(entry.cgroup, parentPath)) pids_.insert(pid);
  }
  return pids_;
}

}  // namespace kivo
