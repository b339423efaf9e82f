#include "platform/KernelFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <charconv>

#include <cerrno>

namespace kivo {

namespace {
// Kernel text files are small; a runaway file must not eat memory.
constexpr std::size_t kMaxFileBytes = 8u << 20;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
}  // namespace

namespace KernelText {

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::int64_t> parseInt(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> parseUInt(std::string_view text) {
  text = trim(text);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool nextLine(std::string_view& text, std::string_view& line) {
  if (text.empty()) return false;
  const auto newline = text.find('\n');
  if (newline == std::string_view::npos) {
    line = text;
    text = {};
  } else {
    line = text.substr(0, newline);
    text.remove_prefix(newline + 1);
  }
  return true;
}

bool nextToken(std::string_view& text, std::string_view& token) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  if (text.empty()) return false;
  std::size_t end = 0;
  while (end < text.size() && !isBlank(text[end])) ++end;
  token = text.substr(0, end);
  text.remove_prefix(end);
  return true;
}

std::optional<std::uint64_t> parseQuantity(std::string_view value) {
  std::string_view rest = value;
  std::string_view digits;
  if (!nextToken(rest, digits)) return std::nullopt;
  const auto number = parseUInt(digits);
  if (!number) return std::nullopt;
  std::string_view unit;
  if (!nextToken(rest, unit)) return number;
  if (unit == "kB" && *number <= UINT64_MAX / 1024) return *number * 1024;
  return std::nullopt;
}

std::optional<std::uint64_t> tableNumber(std::string_view table, std::string_view key) {
  std::string_view line;
  while (nextLine(table, line)) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || trim(line.substr(0, colon)) != key) continue;
    return parseQuantity(line.substr(colon + 1));
  }
  return std::nullopt;
}

}  // namespace KernelText

KeyValueTable KeyValueTable::parse(std::string_view text) {
  KeyValueTable table;
  std::string_view line;
  while (KernelText::nextLine(text, line)) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    table.rows_.emplace_back(std::string(KernelText::trim(line.substr(0, colon))),
                             std::string(KernelText::trim(line.substr(colon + 1))));
  }
  return table;
}

std::optional<std::string_view> KeyValueTable::text(std::string_view key) const {
  for (const auto& [k, v] : rows_) {
    if (k == key) return std::string_view(v);
  }
  return std::nullopt;
}

std::optional<std::uint64_t> KeyValueTable::number(std::string_view key) const {
  const auto value = text(key);
  if (!value) return std::nullopt;
  return KernelText::parseQuantity(*value);
}

KernelFiles::KernelFiles(std::string root) : root_(std::move(root)) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::string KernelFiles::path(std::string_view kernelPath) const {
  if (root_.empty() || root_ == "/") return std::string(kernelPath);
  std::string result = root_;
  if (kernelPath.empty() || kernelPath.front() != '/') result.push_back('/');
  result.append(kernelPath);
  return result;
}

bool KernelFiles::readDescriptor(int fd, std::string& buffer) {
  buffer.clear();
  std::size_t used = 0;
  if (buffer.capacity() < 4096) buffer.reserve(4096);
  for (;;) {
    if (buffer.size() < used + 4096) buffer.resize(std::max(buffer.capacity(), used + 4096));
    const ssize_t n = pread(fd, buffer.data() + used, buffer.size() - used, static_cast<off_t>(used));
    if (n < 0) {
      if (errno == EINTR) continue;
      buffer.clear();
      return false;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used > kMaxFileBytes) {
      buffer.clear();
      return false;
    }
  }
  buffer.resize(used);
  return true;
}

bool KernelFiles::read(std::string_view kernelPath, std::string& buffer) const {
  const std::string full = path(kernelPath);
  const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    buffer.clear();
    return false;
  }
  const bool ok = readDescriptor(fd, buffer);
  ::close(fd);
  return ok;
}

std::optional<std::string> KernelFiles::readText(std::string_view kernelPath) const {
  std::string buffer;
  if (!read(kernelPath, buffer)) return std::nullopt;
  return buffer;
}

std::optional<std::string> KernelFiles::readLine(std::string_view kernelPath) const {
  std::string buffer;
  if (!read(kernelPath, buffer)) return std::nullopt;
  std::string_view text = buffer;
  std::string_view line;
  if (!KernelText::nextLine(text, line)) return std::string();
  return std::string(KernelText::trim(line));
}

std::optional<std::int64_t> KernelFiles::readInt(std::string_view kernelPath) const {
  const auto line = readLine(kernelPath);
  if (!line) return std::nullopt;
  return KernelText::parseInt(*line);
}

std::optional<KeyValueTable> KernelFiles::readTable(std::string_view kernelPath) const {
  std::string buffer;
  if (!read(kernelPath, buffer)) return std::nullopt;
  return KeyValueTable::parse(buffer);
}

bool KernelFiles::exists(std::string_view kernelPath) const {
  struct stat st {};
  return ::stat(path(kernelPath).c_str(), &st) == 0;
}

std::vector<std::string> KernelFiles::list(std::string_view kernelDir) const {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path(kernelDir).c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

KernelFile::KernelFile(KernelFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) {
  other.fd_ = -1;
}

KernelFile& KernelFile::operator=(KernelFile&& other) noexcept {
  if (this != &other) {
    close();
    path_ = std::move(other.path_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

KernelFile::~KernelFile() {
  close();
}

void KernelFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool KernelFile::read(std::string& buffer) {
  if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    buffer.clear();
    return false;
  }
  if (KernelFiles::readDescriptor(fd_, buffer)) return true;
  close();  // the next read reopens
  return false;
}

}  // namespace kivo
