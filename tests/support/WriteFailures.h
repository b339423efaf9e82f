#pragma once

#include "platform/FileWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace kivo::test {

// One way a write can fail: at a step of the writer with an errno, or for real (`real`),
// with every write past the first byte refused by the file size limit (EFBIG), as a full
// disk refuses them.
struct WriteFailure {
  const char* name;
  FileWriter::Step step;
  int error;
  bool real = false;
};

inline const std::vector<WriteFailure>& writeFailures() {
  static const std::vector<WriteFailure> all = {
      {"open refused", FileWriter::Step::open, EACCES},
      {"write on a full disk", FileWriter::Step::write, ENOSPC},
      {"sync fails", FileWriter::Step::sync, EIO},
      {"close reports a late error", FileWriter::Step::close, EDQUOT},
      {"commit fails", FileWriter::Step::commit, EROFS},
      {"file size limit", FileWriter::Step::write, EFBIG, true},
  };
  return all;
}

// While it lives, every file write past `bytes` fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes = 1) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_DFL;
};

// Arms the failure for the next write; a real one lasts while the returned guard lives.
inline std::unique_ptr<FileSizeLimit> arm(const WriteFailure& failure) {
  if (failure.real) return std::make_unique<FileSizeLimit>();
  FileWriter::failNextWrite(failure.step, failure.error);
  return nullptr;
}

// Everything in a folder, hidden files included, with each file's bytes: what a failed
// write must leave exactly as it was.
inline QStringList folderState(const QString& folder) {
  QStringList state;
  const QDir dir(folder);
  for (const QString& name :
       dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
    QFile file(dir.filePath(name));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    state << name + u'=' + QString::fromLatin1(bytes.toHex());
  }
  return state;
}

}  // namespace kivo::test
