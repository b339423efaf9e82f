#include "platform/FileWriter.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo::FileWriter {

namespace {

struct Fault {
  std::optional<Step> step;
  int error = 0;
};

std::mutex& faultLock() {
  static std::mutex lock;
  return lock;
}

Fault& fault() {
  static Fault pending;
  return pending;
}

// Takes the fault armed for this write, if any.
Fault takeFault() {
  const std::lock_guard guard(faultLock());
  Fault armed = fault();
  fault() = {};
  return armed;
}

QString cannotWrite(const QString& path, int error) {
  return QStringLiteral("Cannot write “%1”: %2").arg(path, reason(error));
}

// Closes a descriptor on every path out of write().
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and says whether the close went well; close may report a late write error.
  int close() {
    const int fd = fd_;
    fd_ = -1;
    // After EINTR the descriptor is gone on Linux: retrying could close another one.
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
  }

 private:
  int fd_;
};

// A name in the folder for the moment between linking the written file and renaming it over
// the old one; taken only when free (O_EXCL or linkat's EEXIST).
QByteArray temporaryName(const QByteArray& name, unsigned attempt) {
  return '.' + name + ".kivo-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
}

int writeAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min<qsizetype>(left, SSIZE_MAX)));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    data += n;
    left -= n;
  }
  return 0;
}

}  // namespace

QString reason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("The disk is full.");
    case EFBIG:
      return QStringLiteral("The file is larger than the disk or the limits of this session allow.");
    case EACCES:
    case EPERM:
      return QStringLiteral("You do not have permission to write there.");
    case EROFS:
      return QStringLiteral("The disk is read-only.");
    case EIO:
      return QStringLiteral("The disk reported an input/output error.");
    case ENOENT:
      return QStringLiteral("The folder does not exist.");
    case ENOTDIR:
      return QStringLiteral("A part of the path is not a folder.");
    case EISDIR:
      return QStringLiteral("It is a folder.");
    case ENAMETOOLONG:
      return QStringLiteral("The name is too long.");
    case EMLINK:
    case ELOOP:
      return QStringLiteral("The path has too many links.");
    default: {
      QString text = QString::fromLocal8Bit(std::strerror(error));
      if (!text.isEmpty()) text[0] = text[0].toUpper();
      return text + u'.';
    }
  }
}

void failNextWrite(Step step, int error) {
  const std::lock_guard guard(faultLock());
  fault() = {step, error};
}

std::optional<QString> write(const QString& path, const QByteArray& bytes, std::optional<mode_t> mode) {
  const Fault armed = takeFault();
  auto injected = [&armed](Step step) { return armed.step == step ? armed.error : 0; };
  if (path.isEmpty()) return QStringLiteral("No file name was given.");
  QByteArray target = QFile::encodeName(path);
  struct stat old {};
  bool exists = ::lstat(target.constData(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) {
    // Replace the file the link points to, not the link.
    if (char* real = ::realpath(target.constData(), nullptr)) {
      target = real;
      std::free(real);
      exists = ::stat(target.constData(), &old) == 0;
    } else {
      exists = false;  // a dangling link: it is replaced by the file
    }
  }
  if (exists && S_ISDIR(old.st_mode)) return cannotWrite(path, EISDIR);

  const qsizetype slash = target.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
  const QByteArray name = slash < 0 ? target : target.mid(slash + 1);
  if (name.isEmpty()) return cannotWrite(path, EISDIR);

  Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return cannotWrite(path, errno);

  // The kernel applies the umask to a new file's mode; an explicit mode is set afterwards,
  // and the file is private until then.
  const mode_t createMode = mode || exists ? kPrivate : 0666;
  Descriptor file;
  // Unnamed first: nothing is left behind whatever happens before the commit. File systems
  // without O_TMPFILE get a hidden name, removed on failure.
  QByteArray namedTemporary;
  if (const int error = injected(Step::open)) return cannotWrite(path, error);
  file.reset(::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode));
  if (file.get() < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return cannotWrite(path, errno);
    for (unsigned attempt = 0; file.get() < 0 && attempt < 100; ++attempt) {
      namedTemporary = temporaryName(name, attempt);
      file.reset(::openat(dir.get(), namedTemporary.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC,
                          createMode));
      if (file.get() < 0 && errno != EEXIST) return cannotWrite(path, errno);
    }
    if (file.get() < 0) return cannotWrite(path, EEXIST);
  }
  auto removeTemporary = [&] {
    if (!namedTemporary.isEmpty()) ::unlinkat(dir.get(), namedTemporary.constData(), 0);
  };
  auto failed = [&](int error) {
    removeTemporary();
    return cannotWrite(path, error);
  };

  const std::optional<mode_t> finalMode = mode     ? mode
                                          : exists ? std::optional<mode_t>(old.st_mode & 07777)
                                                   : std::nullopt;
  if (finalMode && ::fchmod(file.get(), *finalMode) != 0) return failed(errno);
  if (const int error = injected(Step::write)) return failed(error);
  if (const int error = writeAll(file.get(), bytes)) return failed(error);
  // A full disk or a failing device often answers only here, once the data leaves the cache.
  if (const int error = injected(Step::sync)) return failed(error);
  if (::fsync(file.get()) != 0) return failed(errno);

  if (namedTemporary.isEmpty()) {
    // Give the unnamed file a hidden name first: linkat cannot replace the old file.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.get());
    for (unsigned attempt = 0; namedTemporary.isEmpty() && attempt < 100; ++attempt) {
      const QByteArray candidate = temporaryName(name, attempt);
      if (::linkat(AT_FDCWD, self.constData(), dir.get(), candidate.constData(), AT_SYMLINK_FOLLOW) == 0) {
        namedTemporary = candidate;
      } else if (errno != EEXIST) {
        return cannotWrite(path, errno);
      }
    }
    if (namedTemporary.isEmpty()) return cannotWrite(path, EEXIST);
  }
  if (const int error = file.close()) return failed(error);
  if (const int error = injected(Step::close)) return failed(error);
  if (const int error = injected(Step::commit)) return failed(error);
  if (::renameat(dir.get(), namedTemporary.constData(), dir.get(), name.constData()) != 0)
    return failed(errno);
  // The new name is in place; a failure to make the folder durable cannot undo it, and the
  // next write makes it durable anyway.
  ::fsync(dir.get());
  return std::nullopt;
}

std::optional<QString> makeFolder(const QString& path, mode_t mode) {
  if (path.isEmpty()) return QStringLiteral("No folder name was given.");
  const QByteArray full = QFile::encodeName(path);
  for (qsizetype end = full.indexOf('/', 1);; end = full.indexOf('/', end + 1)) {
    const QByteArray part = end < 0 ? full : full.left(end);
    if (!part.isEmpty() && !part.endsWith('/')) {
      if (::mkdir(part.constData(), mode) == 0) {
        // The umask narrowed the mode: set it whole.
        if (::chmod(part.constData(), mode) != 0) {
          return QStringLiteral("Cannot create the folder “%1”: %2")
              .arg(QFile::decodeName(part), reason(errno));
        }
      } else {
        const int error = errno;
        struct stat info {};
        if (error != EEXIST || ::stat(part.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
          return QStringLiteral("Cannot create the folder “%1”: %2")
              .arg(QFile::decodeName(part), reason(error == EEXIST ? ENOTDIR : error));
        }
      }
    }
    if (end < 0) break;
  }
  return std::nullopt;
}

}  // namespace kivo::FileWriter
