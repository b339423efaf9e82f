#include "platform/FileWriter.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

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

struct Resolved {
  QByteArray path;  // free of links, or the last link of a chain that leads nowhere
  int error = 0;
  QByteArray refusedLink;
};

QByteArray linkText(const QByteArray& link, off_t size) {
  QByteArray text(std::max<off_t>(size, 64) + 1, Qt::Uninitialized);
  for (;;) {
    const ssize_t n = ::readlink(link.constData(), text.data(), static_cast<size_t>(text.size()));
    if (n < 0) return {};
    if (n < text.size()) return text.left(n);
    text.resize(text.size() * 2);  // the link changed since lstat
  }
}

// Follows the path one name at a time, as the kernel would, checking each link against the
// rule for shared folders. A name that cannot be looked up ends the walk: the rest is kept as
// it stands and opening the folder says why.
Resolved resolve(const QByteArray& given) {
  Resolved out;
  QByteArray done;  // free of links; empty is the root
  if (!given.startsWith('/')) {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) {
      out.error = errno;
      return out;
    }
    done = cwd;
    std::free(cwd);
    if (done == "/") done.clear();
  }
  std::vector<QByteArray> pending;  // the names still to walk, the next one last
  auto push = [&pending](const QByteArray& path) {
    const QList<QByteArray> names = path.split('/');
    for (auto it = names.rbegin(); it != names.rend(); ++it)
      if (!it->isEmpty() && *it != ".") pending.push_back(*it);
  };
  push(given);
  QByteArray finalLink;  // the last link followed from the last name of the path
  for (int links = 0; !pending.empty();) {
    const QByteArray name = std::move(pending.back());
    pending.pop_back();
    if (name == "..") {
      done.truncate(std::max<qsizetype>(0, done.lastIndexOf('/')));
      continue;
    }
    const QByteArray candidate = done + '/' + name;
    struct stat info {};
    if (::lstat(candidate.constData(), &info) != 0) {
      if (errno == ENOENT && !finalLink.isEmpty()) {
        out.path = finalLink;
        return out;
      }
      done = candidate;
      for (auto it = pending.rbegin(); it != pending.rend(); ++it) done += '/' + *it;
      out.path = done;
      return out;
    }
    if (!S_ISLNK(info.st_mode)) {
      done = candidate;
      continue;
    }
    if (++links > 40) {
      out.error = ELOOP;
      return out;
    }
    struct stat folder {};
    if (::stat(done.isEmpty() ? "/" : done.constData(), &folder) != 0) {
      out.error = errno;
      return out;
    }
    if (!mayFollowLink(info.st_uid, folder.st_uid, folder.st_mode, ::geteuid())) {
      out.refusedLink = candidate;
      return out;
    }
    const QByteArray text = linkText(candidate, info.st_size);
    if (text.isEmpty()) {
      out.error = errno != 0 ? errno : ENOENT;
      return out;
    }
    if (pending.empty()) finalLink = candidate;
    if (text.startsWith('/')) done.clear();
    push(text);
  }
  out.path = done.isEmpty() ? QByteArray("/") : done;
  return out;
}

}  // namespace

bool mayFollowLink(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower) {
  const bool shared = (folderMode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
  return !shared || linkOwner == folderOwner || linkOwner == follower;
}

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
  if (path.endsWith(u'/')) return cannotWrite(path, EISDIR);
  const Resolved resolved = resolve(QFile::encodeName(path));
  if (!resolved.refusedLink.isEmpty()) {
    return QStringLiteral(
               "Cannot write “%1”: The link “%2” belongs to another user in a folder that "
               "everyone may write to, so it is not followed.")
        .arg(path, QFile::decodeName(resolved.refusedLink));
  }
  if (resolved.error != 0) return cannotWrite(path, resolved.error);
  const QByteArray& target = resolved.path;
  struct stat old {};
  // A link here is one that leads nowhere: it is replaced by the file.
  const bool exists = ::lstat(target.constData(), &old) == 0 && !S_ISLNK(old.st_mode);
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
