#include "storage/TimeSeriesStore.h"

#include "storage/SQLiteConnection.h"
#include "storage/SeriesMath.h"
#include "storage/StoreSql.h"
#include "storage/StoreTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

namespace kivo {

using namespace StoreSql;

namespace {

constexpr int kBusyTimeoutMs = 2000;
constexpr double kPruneInterval = 3600;

// A double as a 64-bit statement parameter: truncated toward zero, clamped to the
// integer range; NaN gives 0.
std::int64_t truncated(double value) {
  if (std::isnan(value)) return 0;
  constexpr double limit = 9.2233720368547748e18;  // 2^63
  if (value >= limit) return std::numeric_limits<std::int64_t>::max();
  if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// Halves away from zero, clamped like truncated().
std::int64_t rounded(double value) {
  return truncated(std::round(value));
}

struct Bucket {
  double start = 0;
  double min = 0;
  double max = 0;
  double sum = 0;
  std::int64_t count = 0;  // samples not yet written; 0 right after a flush

  void add(double value) {
    if (count == 0) {
      min = max = value;
    } else {
      if (value < min) min = value;
      if (value >= max) max = value;
    }
    sum += value;
    ++count;
  }

  // Takes in the samples of another stretch of the same period.
  void merge(const Bucket& other) {
    if (other.count <= 0) return;
    if (count <= 0) {
      *this = other;
      return;
    }
    min = std::min(min, other.min);
    max = std::max(max, other.max);
    sum += other.sum;
    count += other.count;
  }

  // The rounding of sum / count can land a step outside the samples.
  double mean() const { return std::clamp(sum / static_cast<double>(count), min, max); }
};

struct PendingRaw {
  int metric;
  std::int64_t ms;
  double value;
};

struct ClosedBucket {
  StoreTier tier;
  MetricID metric;
  Bucket bucket;
};

// An advisory lock beside the database, held as long as the store is open, so that a
// second running instance cannot write into the same history unnoticed.
class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Empty on success, else the reason.
  std::optional<QString> acquire(const QString& databasePath) {
    lockPath_ = QFile::encodeName(databasePath + QStringLiteral(".lock"));
    fd_ = ::open(lockPath_.constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
      // Created here, so removed again when the database is refused.
      fd_ = ::open(lockPath_.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      created_ = fd_ >= 0;
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

  // Whether the lock file held is still the one at its path: deleting the data folder
  // takes it along.
  bool isInPlace() const {
    struct stat held {};
    struct stat named {};
    if (fd_ < 0 || ::fstat(fd_, &held) != 0 || held.st_nlink == 0) return false;
    return ::stat(lockPath_.constData(), &named) == 0 && named.st_dev == held.st_dev &&
           named.st_ino == held.st_ino;
  }

  // Leaves no lock file behind a database that was refused.
  void abandon() {
    if (created_) ::unlink(lockPath_.constData());
    created_ = false;
  }

 private:
  int fd_ = -1;
  bool created_ = false;
  QByteArray lockPath_;
};

// The open connection and the statements of the hot paths, kept prepared; the
// statements are declared after the connection so they are finalised before it closes.
struct Database {
  std::unique_ptr<SQLiteConnection> connection;
  SQLiteStatement insertRaw;
  SQLiteStatement mergeMinute;
  SQLiteStatement mergeHour;
  SQLiteStatement insertEvent;
  SQLiteStatement seriesRaw;
  SQLiteStatement seriesMinute;
  SQLiteStatement seriesHour;
};

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

std::uint64_t fileSize(const QByteArray& path) {
  struct stat info {};
  if (::stat(path.constData(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

QByteArray payloadText(const QMap<QString, QString>& payload) {
  QJsonObject object;
  for (auto it = payload.cbegin(); it != payload.cend(); ++it) object.insert(it.key(), it.value());
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QMap<QString, QString> decodePayload(const QByteArray& text) {
  QMap<QString, QString> payload;
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return payload;
  const QJsonObject object = document.object();
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!it.value().isString()) return {};
    payload.insert(it.key(), it.value().toString());
  }
  return payload;
}

// Opens (creating when missing) and checks the database at path, or an in-memory one.
// `lock` is the instance lock to keep, if any; a new one is taken when it is missing or
// no longer in place and, on success, handed back through it.
std::unique_ptr<Database> openDatabase(const std::optional<QString>& path,
                                       std::unique_ptr<InstanceLock>& lock) {
  QByteArray nativePath(":memory:");
  if (path) {
    if (auto problem = wrongKind(*path)) {
      throw StoreError(StoreError::Kind::open,
                       QStringLiteral("unable to open database file: %1").arg(*problem));
    }
    QDir().mkpath(QFileInfo(*path).absolutePath());  // a failure shows when opening
    nativePath = QFile::encodeName(*path);
  }

  sqlite3* handle = nullptr;
  const int rc = sqlite3_open_v2(nativePath.constData(), &handle,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("unknown");
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
    QString message = connection.errorMessage();
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

  // Only now, with a file we will write, the lock: a refused file gets none beside it.
  std::unique_ptr<InstanceLock> fresh;
  if (path && (!lock || !lock->isInPlace())) {
    fresh = std::make_unique<InstanceLock>();
    if (auto problem = fresh->acquire(*path)) throw StoreError(StoreError::Kind::open, *problem);
  }
  try {
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
  } catch (...) {
    if (fresh) fresh->abandon();
    throw;
  }
  if (fresh) lock = std::move(fresh);
  return database;
}

}  // namespace

struct TimeSeriesStore::Impl {
  std::optional<QString> path;

  // What the sampling loop touches: the queue, the settings and the last failure, under
  // a lock held only for moments, so that a tick never waits on SQLite.
  mutable std::mutex stateMutex;
  RetentionPolicy retention;
  bool retentionChanged = false;
  double rawInterval = 2;
  std::vector<PendingRaw> pendingRaw;
  std::array<std::optional<Bucket>, kMetricCount> minuteBuckets;  // by Metric::index
  std::array<std::optional<Bucket>, kMetricCount> hourBuckets;
  std::vector<ClosedBucket> closedBuckets;
  std::optional<QString> lastError;
  int lastErrorCode = 0;  // primary result code of lastError
  std::uint64_t dropped = 0;

  // The connection and what only the writer touches. Taken before stateMutex, never
  // while holding it.
  std::mutex connectionMutex;
  std::unique_ptr<InstanceLock> lock;  // declared first: released after the connection closes
  std::unique_ptr<Database> database;
  double lastPrune = 0;
  // The rows of the flush under way, taken from the queue; their buffers are kept.
  std::vector<PendingRaw> writingRaw;
  std::vector<ClosedBucket> writingSummaries;  // closed and still-open periods

  sqlite3* db() const { return database->connection->handle(); }
  SQLiteConnection& connection() const { return *database->connection; }

  RetentionPolicy currentRetention() const {
    std::lock_guard state(stateMutex);
    return retention;
  }

  void setError(QString message, int code = SQLITE_ERROR) {
    std::lock_guard state(stateMutex);
    lastError = std::move(message);
    lastErrorCode = code;
  }

  void failSql(const char* what) {
    setError(QStringLiteral("%1: %2").arg(QLatin1String(what), connection().errorMessage()),
             sqlite3_errcode(db()) & 0xff);
  }

  void rollback() {
    if (connection().inTransaction()) connection().exec("ROLLBACK");
  }

  void appendLocked(std::span<const MetricValue> values, double t);
  void rollUp(std::array<std::optional<Bucket>, kMetricCount>& buckets, StoreTier tier, MetricID metric,
              double start, double value);
  bool takeQueued();
  void restoreQueued();
  bool writeQueued();
  bool replaceIfDeleted();
  bool flushLocked(double now);
  bool pruneLocked(double now);
  std::vector<std::int64_t> metricsIn(const char* nextMetricSql);
  void dropOldest();
};

void TimeSeriesStore::Impl::rollUp(std::array<std::optional<Bucket>, kMetricCount>& buckets, StoreTier tier,
                                   MetricID metric, double start, double value) {
  std::optional<Bucket>& open = buckets[static_cast<std::size_t>(Metric::index(metric))];
  if (open && open->start != start) {
    // Another period (later, or earlier when the clock stepped back): what the old
    // one gathered since the last flush is written at the next flush.
    if (open->count > 0) closedBuckets.push_back({tier, metric, *open});
    open.reset();
  }
  if (!open) open = Bucket{start, 0, 0, 0, 0};
  open->add(value);
}

void TimeSeriesStore::Impl::appendLocked(std::span<const MetricValue> values, double t) {
  if (values.empty() || !std::isfinite(t)) return;
  const std::int64_t ms = rounded(t * 1000.0);
  const double minuteStart = std::floor(t / 60) * 60;
  const double hourStart = std::floor(t / 3600) * 3600;
  for (const MetricValue& value : values) {
    if (!std::isfinite(value.value)) continue;
    pendingRaw.push_back({Metric::rawValue(value.metric), ms, value.value});
    rollUp(minuteBuckets, StoreTier::minute, value.metric, minuteStart, value.value);
    rollUp(hourBuckets, StoreTier::hour, value.metric, hourStart, value.value);
  }
  dropOldest();
}

void TimeSeriesStore::Impl::dropOldest() {
  if (pendingRaw.size() > kMaxPendingRaw) {
    const std::size_t excess = pendingRaw.size() - kMaxPendingRaw;
    pendingRaw.erase(pendingRaw.begin(), pendingRaw.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped += excess;
  }
  if (closedBuckets.size() > kMaxPendingSummaries) {
    const std::size_t excess = closedBuckets.size() - kMaxPendingSummaries;
    closedBuckets.erase(closedBuckets.begin(), closedBuckets.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped += excess;
  }
}

// Moves the queue into the writer's buffers (the open periods' samples so far, too,
// leaving those periods open and empty). False when there is nothing to write.
bool TimeSeriesStore::Impl::takeQueued() {
  std::lock_guard state(stateMutex);
  std::swap(writingRaw, pendingRaw);
  std::swap(writingSummaries, closedBuckets);
  for (StoreTier tier : {StoreTier::minute, StoreTier::hour}) {
    auto& open = tier == StoreTier::minute ? minuteBuckets : hourBuckets;
    for (std::size_t i = 0; i < open.size(); ++i) {
      if (!open[i] || open[i]->count <= 0) continue;
      writingSummaries.push_back({tier, Metric::allCases()[i], *open[i]});
      *open[i] = Bucket{open[i]->start, 0, 0, 0, 0};
    }
  }
  return !writingRaw.empty() || !writingSummaries.empty();
}

// Puts what a failed flush took back in front of what was appended meanwhile.
void TimeSeriesStore::Impl::restoreQueued() {
  std::lock_guard state(stateMutex);
  writingRaw.insert(writingRaw.end(), pendingRaw.begin(), pendingRaw.end());
  std::swap(writingRaw, pendingRaw);
  writingRaw.clear();

  std::size_t kept = 0;
  for (const ClosedBucket& taken : writingSummaries) {
    auto& open = taken.tier == StoreTier::minute ? minuteBuckets : hourBuckets;
    std::optional<Bucket>& current = open[static_cast<std::size_t>(Metric::index(taken.metric))];
    if (current && current->start == taken.bucket.start) {
      current->merge(taken.bucket);  // a period still open goes back into it
    } else {
      writingSummaries[kept++] = taken;
    }
  }
  writingSummaries.resize(kept);
  writingSummaries.insert(writingSummaries.end(), closedBuckets.begin(), closedBuckets.end());
  std::swap(writingSummaries, closedBuckets);
  writingSummaries.clear();
  dropOldest();
}

bool TimeSeriesStore::Impl::writeQueued() {
  if (connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    failSql("cannot begin writing history");
    return false;
  }

  auto abort = [this](const char* what) {
    failSql(what);
    rollback();
    return false;
  };

  {
    SQLiteStatement& insertRaw = database->insertRaw;
    StatementReset guard(insertRaw);
    for (const PendingRaw& row : writingRaw) {
      insertRaw.bind(1, static_cast<std::int64_t>(row.metric));
      insertRaw.bind(2, row.ms);
      insertRaw.bind(3, row.value);
      if (insertRaw.step() != SQLITE_DONE) return abort("cannot write raw samples");
      insertRaw.reset();
    }
  }

  for (StoreTier tier : {StoreTier::minute, StoreTier::hour}) {
    SQLiteStatement& statement = tier == StoreTier::minute ? database->mergeMinute : database->mergeHour;
    StatementReset guard(statement);
    for (const ClosedBucket& summary : writingSummaries) {
      if (summary.tier != tier || summary.bucket.count <= 0) continue;
      const Bucket& bucket = summary.bucket;
      statement.bind(1, static_cast<std::int64_t>(Metric::rawValue(summary.metric)));
      statement.bind(2, truncated(bucket.start));
      statement.bind(3, bucket.min);
      statement.bind(4, bucket.max);
      statement.bind(5, bucket.mean());
      statement.bind(6, bucket.count);
      const int rc = statement.step();
      statement.reset();
      if (rc != SQLITE_DONE) return abort("cannot write summaries");
    }
  }

  if (connection().exec("COMMIT") != SQLITE_OK) return abort("cannot commit history");
  writingRaw.clear();
  writingSummaries.clear();
  return true;
}

// A data folder deleted while running leaves the connection writing into an unlinked
// file: start a new database at the path, so that what is queued is not lost with it.
bool TimeSeriesStore::Impl::replaceIfDeleted() {
  if (!path) return true;
  int moved = 0;
  if (sqlite3_file_control(db(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved == 0)
    return true;
  // Out of write-ahead logging first: a log left at the path (only the file was deleted)
  // is the old file's, and the new database must not start from it.
  connection().exec("PRAGMA journal_mode=DELETE");
  try {
    database = openDatabase(path, lock);
  } catch (const StoreError& error) {
    setError(QStringLiteral("the history database was deleted and cannot be created again: %1")
                 .arg(error.message()));
    return false;
  }
  lastPrune = 0;
  qWarning("The history database %s was deleted while running; recording continues in a new file there.",
           qUtf8Printable(*path));
  return true;
}

bool TimeSeriesStore::Impl::flushLocked(double now) {
  if (!replaceIfDeleted()) return false;
  if (takeQueued() && !writeQueued()) {
    restoreQueued();
    return false;  // the database is not writable now: no prune either
  }
  {
    std::lock_guard state(stateMutex);
    lastError.reset();
    lastErrorCode = 0;
    if (std::exchange(retentionChanged, false)) lastPrune = 0;
  }
  // Also when the clock went back behind the last prune, or it would wait for the clock to catch up.
  if (std::isfinite(now) && (lastPrune == 0 || now - lastPrune > kPruneInterval || now < lastPrune)) {
    return pruneLocked(now);
  }
  return true;
}

std::vector<std::int64_t> TimeSeriesStore::Impl::metricsIn(const char* nextMetricSql) {
  // The distinct metrics, one seek down the primary key each.
  std::vector<std::int64_t> metrics;
  SQLiteStatement next(db(), nextMetricSql);
  if (!next.ok()) return metrics;
  std::int64_t after = std::numeric_limits<std::int64_t>::min();
  for (;;) {
    next.bind(1, after);
    if (next.step() != SQLITE_ROW) break;
    after = next.columnInt64(0);
    metrics.push_back(after);
    next.reset();
    if (after == std::numeric_limits<std::int64_t>::max()) break;
  }
  return metrics;
}

bool TimeSeriesStore::Impl::pruneLocked(double now) {
  // A retention that is not a finite, non-negative number keeps its tier whole.
  auto usable = [](double keep) { return std::isfinite(keep) && keep >= 0; };
  const RetentionPolicy retention = currentRetention();
  if (connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    failSql("cannot prune history");
    return false;
  }
  struct TierCut {
    int tier;
    double keep;
    double scale;
  };
  const TierCut cuts[] = {{0, retention.raw, 1000.0}, {1, retention.minute, 1.0}, {2, retention.hour, 1.0}};
  for (const TierCut& cut : cuts) {
    if (!usable(cut.keep)) continue;
    const std::int64_t cutoff = truncated((now - cut.keep) * cut.scale);
    SQLiteStatement remove(db(), kPrune[cut.tier]);
    if (!remove.ok()) {
      failSql("cannot prune history");
      rollback();
      return false;
    }
    for (std::int64_t metric : metricsIn(kNextMetric[cut.tier])) {
      remove.bind(1, metric);
      remove.bind(2, cutoff);
      const int rc = remove.step();
      remove.reset();
      if (rc != SQLITE_DONE) {
        failSql("cannot prune history");
        rollback();
        return false;
      }
    }
  }
  if (usable(retention.hour)) {
    SQLiteStatement remove(db(), kPruneEvents);
    remove.bind(1, now - retention.hour);
    if (remove.step() != SQLITE_DONE) {
      failSql("cannot prune events");
      remove.reset();
      rollback();
      return false;
    }
  }
  if (connection().exec("COMMIT") != SQLITE_OK) {
    failSql("cannot prune history");
    rollback();
    return false;
  }
  lastPrune = now;
  if (connection().exec("PRAGMA incremental_vacuum") != SQLITE_OK) {
    failSql("cannot return free pages");
    return false;
  }
  return true;
}

TimeSeriesStore::TimeSeriesStore(const std::optional<QString>& path, const RetentionPolicy& retention)
    : d(std::make_unique<Impl>()) {
  if (path && !path->isEmpty()) d->path = *path;
  d->retention = retention;
  d->database = openDatabase(d->path, d->lock);
  d->pendingRaw.reserve(1024);
  d->writingRaw.reserve(1024);
  d->writingSummaries.reserve(2 * kMetricCount);
}

TimeSeriesStore::~TimeSeriesStore() = default;

std::optional<QString> TimeSeriesStore::path() const {
  return d->path;
}

RetentionPolicy TimeSeriesStore::retention() const {
  return d->currentRetention();
}

void TimeSeriesStore::setRetention(const RetentionPolicy& retention) {
  std::lock_guard state(d->stateMutex);
  d->retention = retention;
  d->retentionChanged = true;
}

double TimeSeriesStore::rawInterval() const {
  std::lock_guard state(d->stateMutex);
  return d->rawInterval;
}

void TimeSeriesStore::setRawInterval(double seconds) {
  std::lock_guard state(d->stateMutex);
  d->rawInterval = seconds;
}

void TimeSeriesStore::append(std::span<const MetricValue> values, const QDateTime& at) {
  const double t = StoreTime::seconds(at);
  std::lock_guard state(d->stateMutex);
  d->appendLocked(values, t);
}

bool TimeSeriesStore::flush(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  std::lock_guard connection(d->connectionMutex);
  return d->flushLocked(n);
}

std::optional<bool> TimeSeriesStore::flushUnlessBusy(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  std::unique_lock connection(d->connectionMutex, std::try_to_lock);
  if (!connection.owns_lock()) return std::nullopt;
  return d->flushLocked(n);
}

bool TimeSeriesStore::prune(const QDateTime& now) {
  const double n = StoreTime::seconds(now);
  if (!std::isfinite(n)) return false;
  std::lock_guard connection(d->connectionMutex);
  return d->pruneLocked(n);
}

bool TimeSeriesStore::eraseAll() {
  std::lock_guard connection(d->connectionMutex);
  {
    std::lock_guard state(d->stateMutex);
    d->pendingRaw.clear();
    d->minuteBuckets.fill(std::nullopt);
    d->hourBuckets.fill(std::nullopt);
    d->closedBuckets.clear();
  }

  if (d->connection().exec("BEGIN IMMEDIATE") != SQLITE_OK) {
    d->failSql("cannot erase history");
    return false;
  }
  for (const char* statement :
       {"DELETE FROM raw", "DELETE FROM minute", "DELETE FROM hour", "DELETE FROM events"}) {
    if (d->connection().exec(statement) != SQLITE_OK) {
      d->failSql("cannot erase history");
      d->rollback();
      return false;
    }
  }
  if (d->connection().exec("COMMIT") != SQLITE_OK) {
    d->failSql("cannot erase history");
    d->rollback();
    return false;
  }
  if (d->connection().exec("VACUUM") != SQLITE_OK) {
    d->failSql("cannot compact the history file");
    return false;
  }
  return true;
}

Series TimeSeriesStore::series(MetricID metric, const QDateTime& from, const QDateTime& to, int maxPoints,
                               std::optional<StoreTier> tier, const QDateTime& now) {
  const double f = StoreTime::seconds(from);
  const double e = StoreTime::seconds(to);
  const double n = StoreTime::seconds(now);

  std::lock_guard connection(d->connectionMutex);
  d->flushLocked(n);

  Series result;
  result.metric = metric;
  {
    std::lock_guard state(d->stateMutex);
    result.tier = tier ? *tier : SeriesMath::tier(f, e, n, d->retention);
    result.step = SeriesMath::step(e - f, result.tier, maxPoints, d->rawInterval);
  }

  SQLiteStatement& query = result.tier == StoreTier::raw      ? d->database->seriesRaw
                           : result.tier == StoreTier::minute ? d->database->seriesMinute
                                                              : d->database->seriesHour;
  const bool raw = result.tier == StoreTier::raw;
  const std::int64_t step = raw ? std::max<std::int64_t>(rounded(result.step * 1000.0), 1)
                                : std::max<std::int64_t>(truncated(result.step), 1);
  const double scale = raw ? 1000.0 : 1.0;
  {
    StatementReset guard(query);
    query.bind(1, step);
    query.bind(2, step);
    query.bind(3, static_cast<std::int64_t>(Metric::rawValue(metric)));
    query.bind(4, truncated(f * scale));
    query.bind(5, truncated(e * scale));
    int rc = SQLITE_ROW;
    while ((rc = query.step()) == SQLITE_ROW) {
      const double time = raw ? static_cast<double>(query.columnInt64(0)) / 1000.0
                              : static_cast<double>(query.columnInt64(0));
      result.points.push_back(
          {time, query.columnDouble(1), query.columnDouble(2), query.columnDouble(3), query.columnInt64(4)});
    }
    if (rc != SQLITE_DONE) {
      d->failSql("cannot read history");
      result.points.clear();
    }
  }

  result.gaps = SeriesMath::gaps(result.points, f, std::min(n, e), result.step);
  return result;
}

StoreStatistics TimeSeriesStore::statistics() {
  const double now = StoreTime::seconds(QDateTime::currentDateTimeUtc());
  std::lock_guard connection(d->connectionMutex);
  d->flushLocked(now);

  StoreStatistics statistics;
  {
    SQLiteStatement earliest(d->db(), "SELECT MIN(ts) FROM hour");
    if (earliest.step() == SQLITE_ROW && !earliest.columnIsNull(0)) {
      statistics.earliest = QDateTime::fromSecsSinceEpoch(earliest.columnInt64(0), Qt::UTC);
    }
  }
  if (d->path) {
    const QByteArray file = QFile::encodeName(*d->path);
    statistics.fileBytes = fileSize(file) + fileSize(file + "-wal");
  }
  auto count = [this](const char* sql) -> std::int64_t {
    SQLiteStatement statement(d->db(), sql);
    if (statement.step() != SQLITE_ROW) {
      d->failSql("cannot count history rows");
      return 0;
    }
    return statement.columnInt64(0);
  };
  statistics.rawRows = count("SELECT COUNT(*) FROM raw");
  statistics.minuteRows = count("SELECT COUNT(*) FROM minute");
  statistics.hourRows = count("SELECT COUNT(*) FROM hour");
  statistics.events = count("SELECT COUNT(*) FROM events");
  return statistics;
}

std::optional<std::int64_t> TimeSeriesStore::record(const StoredEvent& event) {
  const double ts = StoreTime::seconds(event.date);
  const QByteArray kind = EventKinds::rawString(event.kind).toUtf8();
  const QByteArray code = event.code.toUtf8();
  const QByteArray payload = payloadText(event.payload);

  std::lock_guard connection(d->connectionMutex);
  SQLiteStatement& insert = d->database->insertEvent;
  StatementReset guard(insert);
  if (std::isfinite(ts)) {
    insert.bind(1, ts);
  } else {
    insert.bindNull(1);  // refused by the NOT NULL column
  }
  insert.bind(2, kind);
  insert.bind(3, static_cast<std::int64_t>(Severities::rawValue(event.severity)));
  if (event.metric) {
    insert.bind(4, static_cast<std::int64_t>(Metric::rawValue(*event.metric)));
  } else {
    insert.bindNull(4);
  }
  insert.bind(5, code);
  insert.bind(6, payload);
  if (insert.step() != SQLITE_DONE) {
    d->failSql("cannot record the event");
    return std::nullopt;
  }
  return sqlite3_last_insert_rowid(d->db());
}

std::vector<StoredEvent> TimeSeriesStore::events(const std::vector<EventKind>& kinds, const QDateTime& from,
                                                 const QDateTime& to, int limit) {
  std::vector<StoredEvent> result;
  if (kinds.empty() || limit <= 0) return result;
  // The kinds are our own fixed names, so they can stand in the statement text.
  QByteArray sql = "SELECT id, ts, kind, severity, metric, code, payload FROM events WHERE kind IN (";
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) sql += ',';
    const std::string_view name = EventKinds::rawValue(kinds[i]);
    sql += '\'';
    sql.append(name.data(), static_cast<qsizetype>(name.size()));
    sql += '\'';
  }
  sql += ") AND ts>=? AND ts<=? ORDER BY ts DESC LIMIT ?";
  const double f = StoreTime::seconds(from);
  const double e = StoreTime::seconds(to);

  std::lock_guard connection(d->connectionMutex);
  SQLiteStatement query(d->db(), sql);
  if (!query.ok()) {
    d->failSql("cannot list events");
    return result;
  }
  query.bind(1, f);
  query.bind(2, e);
  query.bind(3, static_cast<std::int64_t>(limit));
  int rc = SQLITE_ROW;
  while ((rc = query.step()) == SQLITE_ROW) {
    StoredEvent event;
    event.id = query.columnInt64(0);
    event.date = StoreTime::date(query.columnDouble(1));
    event.kind = EventKinds::fromRawValue(query.columnText(2)).value_or(EventKind::system);
    switch (query.columnInt64(3)) {
      case 2:
        event.severity = Severity::critical;
        break;
      case 1:
        event.severity = Severity::warning;
        break;
      default:
        event.severity = Severity::info;
        break;
    }
    if (!query.columnIsNull(4)) event.metric = Metric::fromRawValue(query.columnInt64(4));
    event.code = query.columnText(5);
    event.payload = decodePayload(query.columnBytes(6));
    result.push_back(std::move(event));
  }
  if (rc != SQLITE_DONE) d->failSql("cannot list events");
  return result;
}

bool TimeSeriesStore::deleteEvent(std::int64_t id) {
  std::lock_guard connection(d->connectionMutex);
  SQLiteStatement remove(d->db(), "DELETE FROM events WHERE id=?");
  remove.bind(1, id);
  if (remove.step() != SQLITE_DONE) {
    d->failSql("cannot delete the event");
    return false;
  }
  return true;
}

bool TimeSeriesStore::deleteEvents(const std::vector<EventKind>& kinds) {
  if (kinds.empty()) return true;
  std::lock_guard connection(d->connectionMutex);
  SQLiteStatement remove(d->db(), "DELETE FROM events WHERE kind=?");
  bool ok = remove.ok();
  for (EventKind kind : kinds) {
    remove.bind(1, EventKinds::rawString(kind).toUtf8());
    if (remove.step() != SQLITE_DONE) ok = false;
    remove.reset();
  }
  if (!ok) d->failSql("cannot delete events");
  return ok;
}

std::optional<QString> TimeSeriesStore::lastError() const {
  std::lock_guard state(d->stateMutex);
  return d->lastError;
}

StoreWriteStatus TimeSeriesStore::writeStatus() const {
  std::lock_guard state(d->stateMutex);
  return {d->lastError, d->lastErrorCode, d->pendingRaw.size(), d->dropped};
}

std::uint64_t TimeSeriesStore::droppedRows() const {
  std::lock_guard state(d->stateMutex);
  return d->dropped;
}

}  // namespace kivo
