#include "storage/StoreLog.h"
#include "storage/StoreSql.h"
#include "storage/TimeSeriesStoreImpl.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

// Opening the database: the checks before anything is written, the instance lock, the
// schema, and a new file when the old one was deleted while open.

namespace kivo {

using namespace StoreSql;

namespace StoreDetail {

namespace {

// Why a path cannot hold the database, when its kind says so: the file is a folder,
// or a folder on the way is a file. SQLite only says "unable to open database file".
std::optional<QString> wrongKind(const QString& path) {
  const QFileInfo file(path);
  if (file.isDir()) return QStringLiteral("%1 is a folder, not a database file").arg(path);
  for (QFileInfo folder(file.absolutePath());; folder = QFileInfo(folder.absolutePath())) {
    if (folder.exists()) {
      if (!folder.isDir()) return QStringLiteral("%1 is a file, not a folder").arg(folder.absoluteFilePath());
      return std::nullopt;
    }
    if (folder.isRoot() || folder.absolutePath() == folder.absoluteFilePath()) return std::nullopt;
  }
}

// A verdict of PRAGMA quick_check on one line: SQLite puts a header line and one line
// per problem.
QString oneLine(const QString& verdict) {
  QStringList lines;
  for (const QString& line : verdict.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QString text = line.trimmed();
    if (!text.isEmpty() && !(text.startsWith(QLatin1String("***")) && text.endsWith(QLatin1String("***")))) {
      lines << text;
    }
  }
  return lines.join(QStringLiteral("; "));
}

// The history names every process that ran: our folders are the owner's alone, whatever
// the umask. Folders that exist already are left as they are.
void makeFolders(const QString& folder) {
  const QString absolute = QFileInfo(folder).absoluteFilePath();
  QStringList missing;
  for (QFileInfo info(absolute); !info.exists() && !info.isRoot(); info = QFileInfo(info.absolutePath())) {
    missing.prepend(info.absoluteFilePath());
    if (info.absolutePath() == info.absoluteFilePath()) break;
  }
  for (const QString& path : missing) {
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) return;  // shows at open
  }
}

// Creates the file when missing, and narrows an existing one to its owner: only group and
// other bits are taken away, never the owner's write bit added to a file made read-only.
// SQLite gives its log and shared-memory files the database's mode. Runs before SQLite
// opens the file: closing any descriptor of a file drops every lock this process holds on
// it, SQLite's own included, and a reader that then believes itself the last would delete
// the write-ahead log under the running store. True when the file was created here.
bool makePrivate(const QByteArray& path, bool create) {
  int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  bool created = false;
  if (fd < 0 && errno == ENOENT && create) {
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    created = fd >= 0;
  }
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) != 0) {
    ::fchmod(fd, info.st_mode & 07700);
  }
  ::close(fd);
  return created;
}

// Whether the file at path is one its owner made read-only; root could write it anyway.
bool madeReadOnly(const QByteArray& path) {
  struct stat info {};
  return ::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

// The failure's reason as a person reads it: SQLite says "disk I/O error" when the disk is
// full and the shared-memory file cannot grow.
QString reason(sqlite3* handle) {
  if (isDiskFull(handle)) return QStringLiteral("the disk is full");
  return QString::fromUtf8(sqlite3_errmsg(handle));
}

}  // namespace

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<QString> InstanceLock::acquire(const QString& databasePath) {
  lockPath_ = QFile::encodeName(databasePath + QStringLiteral(".lock"));
  fd_ = ::open(lockPath_.constData(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0 && errno == ENOENT) {
    // Created here, so removed again when the database is refused.
    fd_ = ::open(lockPath_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    created_ = fd_ >= 0;
    if (created_) ::fchmod(fd_, 0600);
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(lockPath_.constData(), O_RDWR | O_CLOEXEC);
  }
  if (fd_ < 0) {
    return QStringLiteral("cannot create the lock file %1: %2")
        .arg(QFile::decodeName(lockPath_), QString::fromLocal8Bit(std::strerror(errno)));
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EWOULDBLOCK) {
      ::close(fd_);
      fd_ = -1;
      return QStringLiteral("the history database %1 is in use by another running instance")
          .arg(databasePath);
    }
    // A file system without locks: run unguarded rather than without history.
  }
  return std::nullopt;
}

bool InstanceLock::isInPlace() const {
  struct stat held {};
  struct stat named {};
  if (fd_ < 0 || ::fstat(fd_, &held) != 0 || held.st_nlink == 0) return false;
  return ::stat(lockPath_.constData(), &named) == 0 && named.st_dev == held.st_dev &&
         named.st_ino == held.st_ino;
}

void InstanceLock::abandon() {
  if (created_) ::unlink(lockPath_.constData());
  created_ = false;
}

namespace {

// Opens the database file SQLite is given and checks it before anything is written: a file
// that is not a database, a damaged one or another program's is refused as it is.
std::unique_ptr<Database> openChecked(const std::optional<QString>& path, const QByteArray& nativePath,
                                      bool created) {
  sqlite3* handle = nullptr;
  const int rc = sqlite3_open_v2(nativePath.constData(), &handle,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    QString message = handle ? reason(handle) : QStringLiteral("unknown");
    sqlite3_close(handle);
    if (path) message += QStringLiteral(" (%1)").arg(*path);
    throw StoreError(StoreError::Kind::open, message);
  }
  auto database = std::make_unique<Database>();
  database->connection = std::make_unique<SQLiteConnection>(handle);
  SQLiteConnection& connection = *database->connection;
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  sqlite3_extended_result_codes(handle, 1);

  if (path && sqlite3_db_readonly(handle, "main") == 1) {
    throw StoreError(StoreError::Kind::open,
                     QStringLiteral("the history database %1 is read-only").arg(*path));
  }

  auto withPath = [&path](QString message) {
    if (path) message += QStringLiteral(" (%1)").arg(*path);
    return message;
  };
  auto sqlError = [&](const QString& context) {
    QString message = reason(handle);
    if (!context.isEmpty()) message = context + QStringLiteral(": ") + message;
    return StoreError(StoreError::Kind::sql, withPath(message));
  };

  // Before anything that writes: a file that is not a database, or a damaged one, is
  // refused and left exactly as it is.
  {
    SQLiteStatement check(handle, "PRAGMA quick_check");
    if (!check.ok()) throw sqlError({});
    const int step = check.step();
    if (step != SQLITE_ROW) throw sqlError({});
    const QString verdict = check.columnText(0);
    if (verdict != QLatin1String("ok")) {
      throw StoreError(StoreError::Kind::sql,
                       withPath(QStringLiteral("the history database is damaged: %1").arg(oneLine(verdict))));
    }
  }

  // Another program's database at our path is not ours to add tables to.
  {
    SQLiteStatement tables(handle,
                           "SELECT name FROM sqlite_schema WHERE type IN ('table', 'view') AND name NOT LIKE "
                           "'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    if (!tables.ok()) throw sqlError({});
    QStringList foreign;
    int rc = SQLITE_ROW;
    while ((rc = tables.step()) == SQLITE_ROW) {
      const QString name = tables.columnText(0);
      const bool ours =
          std::any_of(std::begin(kLayout), std::end(kLayout),
                      [&name](const TableLayout& layout) { return name == QLatin1String(layout.table); });
      if (!ours) foreign << name;
    }
    if (rc != SQLITE_DONE) throw sqlError({});
    if (!foreign.isEmpty()) {
      throw StoreError(StoreError::Kind::sql,
                       withPath(QStringLiteral("the file at the history path is another program's database "
                                               "(it holds %1); it is left as it is")
                                    .arg(foreign.join(QStringLiteral(", ")))));
    }
  }

  // Tables of our names but another layout: refuse before writing anything.
  for (const auto& [table, columns] : kLayout) {
    SQLiteStatement info(handle, QByteArray("PRAGMA table_info(") + table + ")");
    if (!info.ok()) throw sqlError({});
    QStringList found;
    int rc = SQLITE_ROW;
    while ((rc = info.step()) == SQLITE_ROW) found << info.columnText(1);
    if (rc != SQLITE_DONE) throw sqlError({});
    if (!found.isEmpty() && found.join(QLatin1Char(',')) != QLatin1String(columns)) {
      throw StoreError(
          StoreError::Kind::sql,
          withPath(QStringLiteral("the history database has an unexpected layout: table %1 has columns %2")
                       .arg(QLatin1String(table), found.join(QStringLiteral(", ")))));
    }
  }

  // auto_vacuum only takes effect on a file without pages yet, so it must come before
  // the journal mode, whose change writes the first page. The size limit cuts the log
  // back after a checkpoint, so one large prune does not leave it large for good.
  for (const char* pragma : {"PRAGMA auto_vacuum=INCREMENTAL", "PRAGMA journal_mode=WAL",
                             "PRAGMA synchronous=NORMAL", "PRAGMA journal_size_limit=4194304"}) {
    if (connection.exec(pragma) != SQLITE_OK) throw sqlError({});
  }
  for (const char* statement : kSchema) {
    if (connection.exec(statement) != SQLITE_OK) throw sqlError({});
  }

  // Tables of the same names but another layout are refused here, not at the first flush.
  const std::pair<SQLiteStatement*, const char*> statements[] = {
      {&database->insertRaw, kInsertRaw},   {&database->mergeMinute, kMergeMinute},
      {&database->mergeHour, kMergeHour},   {&database->insertEvent, kInsertEvent},
      {&database->seriesRaw, kSeriesRaw},   {&database->seriesMinute, kSeriesMinute},
      {&database->seriesHour, kSeriesHour},
  };
  for (const auto& [statement, sql] : statements) {
    *statement = SQLiteStatement(handle, sql);
    if (!statement->ok()) throw sqlError(QStringLiteral("the history database has an unexpected layout"));
  }
  database->newFile = created;
  return database;
}

}  // namespace

// Opens (creating when missing) and checks the database at path, or an in-memory one.
// `lock` is the instance lock to keep, if any; a new one is taken when it is missing or
// no longer in place and, on success, handed back through it.
std::unique_ptr<Database> openDatabase(const std::optional<QString>& path,
                                       std::unique_ptr<InstanceLock>& lock) {
  if (!path) return openChecked(std::nullopt, QByteArray(":memory:"), false);
  if (auto problem = wrongKind(*path)) {
    throw StoreError(StoreError::Kind::open,
                     QStringLiteral("unable to open database file: %1").arg(*problem));
  }
  makeFolders(QFileInfo(*path).absolutePath());

  // The lock before the file: a second instance, refused, has touched nothing of the first's.
  std::unique_ptr<InstanceLock> fresh;
  if (!lock || !lock->isInPlace()) {
    fresh = std::make_unique<InstanceLock>();
    if (auto problem = fresh->acquire(*path)) throw StoreError(StoreError::Kind::open, *problem);
  }
  try {
    const QByteArray nativePath = QFile::encodeName(*path);
    const bool created = makePrivate(nativePath, true);
    if (madeReadOnly(nativePath)) {
      throw StoreError(StoreError::Kind::open,
                       QStringLiteral("the history database %1 is read-only").arg(*path));
    }
    for (const char* suffix : {"-wal", "-shm"}) makePrivate(nativePath + suffix, false);
    auto database = openChecked(path, nativePath, created);
    // A refused file gets no lock file left beside it.
    if (fresh) lock = std::move(fresh);
    return database;
  } catch (...) {
    if (fresh) fresh->abandon();
    throw;
  }
}

}  // namespace StoreDetail

// A data folder deleted while running leaves the connection writing into an unlinked
// file: start a new database at the path, so that what is queued is not lost with it. A
// history put there in its place (moved or copied back) is written into instead.
bool TimeSeriesStore::Impl::replaceIfDeleted() {
  if (!path) return true;
  int moved = 0;
  if (sqlite3_file_control(db(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved == 0)
    return true;
  // Out of write-ahead logging first: a log left at the path (only the file was deleted)
  // is the old file's, and the new database must not start from it.
  connection().exec("PRAGMA journal_mode=DELETE");
  const bool replaced = QFileInfo::exists(*path);
  try {
    database = StoreDetail::openDatabase(path, lock);
  } catch (const StoreError& error) {
    setError(replaced ? QStringLiteral("the history database was replaced while running by a file that "
                                       "cannot be used: %1")
                            .arg(error.message())
                      : QStringLiteral("the history database was deleted and cannot be created again: %1")
                            .arg(error.message()));
    return false;
  }
  lastPrune = 0;
  if (database->newFile) {
    qCWarning(storeLog,
              "The history database %s was deleted while running; recording continues in a new file there.",
              qUtf8Printable(*path));
  } else {
    qCWarning(storeLog,
              "The history database %s was replaced while running by another history; recording continues "
              "in that file.",
              qUtf8Printable(*path));
  }
  return true;
}

}  // namespace kivo
