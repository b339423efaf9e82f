#pragma once

#include "TestSupport.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace kivo::test {

// A writable root that a fixture's numbered steps are laid over one after another
// (tests/fixtures/<name>/1, /2, ...). Files are rewritten in place, so a reader that keeps a
// file open sees the new text, as it would with /proc.
class StepRoot {
 public:
  explicit StepRoot(std::string name) : name_(std::move(name)) {}

  const std::string& root() const { return root_; }
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }

  void apply(const std::string& step) {
    namespace fs = std::filesystem;
    const fs::path source = fixture(name_ + "/" + step);
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
      // Lexically: resolving the fixture's symlinks (exe) would lead out of the temporary root.
      const fs::path relative = entry.path().lexically_relative(source);
      const fs::path target = fs::path(root_) / relative;
      if (entry.is_symlink()) {
        fs::remove(target);
        fs::create_directories(target.parent_path());
        fs::copy_symlink(entry.path(), target);
      } else if (entry.is_directory()) {
        fs::create_directories(target);
      } else {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        write(relative.string(), text);
      }
    }
  }

  void write(const std::string& relative, const std::string& text) const {
    const std::filesystem::path target = std::filesystem::path(root_) / relative;
    if (relative.find("..") != std::string::npos)
      throw std::invalid_argument("outside the root: " + relative);
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << text;
  }

  void remove(const std::string& relative) const { std::filesystem::remove_all(path(relative)); }

 private:
  QTemporaryDir dir_;
  std::string root_ = dir_.path().toStdString();
  std::string name_;
};

}  // namespace kivo::test
