#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

// Parsing helpers for the text the kernel publishes under /proc and /sys.
namespace KernelText {
std::string_view trim(std::string_view text);
// Whole token must be a number (surrounding blanks allowed).
std::optional<std::int64_t> parseInt(std::string_view text);
std::optional<std::uint64_t> parseUInt(std::string_view text);
// Splits off the next line (without its newline) and advances text past it.
bool nextLine(std::string_view& text, std::string_view& line);
// Splits off the next blank-separated token and advances text past it.
bool nextToken(std::string_view& text, std::string_view& token);
// "number [kB]" with kB scaled to bytes; anything else after the number is refused.
std::optional<std::uint64_t> parseQuantity(std::string_view text);
// Value of "key: number [kB]" in a table such as /proc/meminfo; kB is scaled to bytes.
std::optional<std::uint64_t> tableNumber(std::string_view table, std::string_view key);
}  // namespace KernelText

// A "key: value" table as the kernel writes it (/proc/meminfo, /proc/self/status).
class KeyValueTable {
 public:
  static KeyValueTable parse(std::string_view text);
  std::optional<std::string_view> text(std::string_view key) const;
  // Numeric value; "kB" after the number is scaled to bytes.
  std::optional<std::uint64_t> number(std::string_view key) const;
  bool empty() const { return rows_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> rows_;
};

// Reads small kernel files below a root folder ("/" in production, a fixture tree in
// tests). Nothing here throws: a missing or unreadable file is absent.
class KernelFiles {
 public:
  explicit KernelFiles(std::string root = "/");

  const std::string& root() const { return root_; }
  // The real path of a path given as the kernel names it ("/proc/stat").
  std::string path(std::string_view kernelPath) const;

  // Whole file into a buffer the caller reuses, so steady-state reads do not allocate.
  bool read(std::string_view kernelPath, std::string& buffer) const;
  std::optional<std::string> readText(std::string_view kernelPath) const;
  // First line, trimmed.
  std::optional<std::string> readLine(std::string_view kernelPath) const;
  std::optional<std::int64_t> readInt(std::string_view kernelPath) const;
  std::optional<KeyValueTable> readTable(std::string_view kernelPath) const;
  bool exists(std::string_view kernelPath) const;
  // Names in a folder, without "." and "..", in the file system's order; empty when unreadable.
  std::vector<std::string> list(std::string_view kernelDir) const;

  // Reads an already-open descriptor from offset 0 (procfs regenerates the text each time).
  static bool readDescriptor(int fd, std::string& buffer);

 private:
  std::string root_;
};

// One kernel file kept open across ticks: re-reading costs one pread, not an open.
class KernelFile {
 public:
  KernelFile() = default;
  explicit KernelFile(std::string path) : path_(std::move(path)) {}
  KernelFile(const KernelFile&) = delete;
  KernelFile& operator=(const KernelFile&) = delete;
  KernelFile(KernelFile&& other) noexcept;
  KernelFile& operator=(KernelFile&& other) noexcept;
  ~KernelFile();

  // Opens on first use and again after a failure.
  bool read(std::string& buffer);
  const std::string& path() const { return path_; }

 private:
  void close();
  std::string path_;
  int fd_ = -1;
};

}  // namespace kivo
