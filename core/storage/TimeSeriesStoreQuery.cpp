#include "storage/SeriesMath.h"
#include "storage/StoreSql.h"
#include "storage/StoreTime.h"
#include "storage/TimeSeriesStoreImpl.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

// Reading the history: series, statistics, and the event log.

namespace kivo {

using namespace StoreDetail;
using namespace StoreSql;

namespace {

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

}  // namespace

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
  if (const auto earliest = d->earliestSample()) statistics.earliest = StoreTime::date(*earliest);
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

// The time of the oldest sample still known: the oldest hour summary says only its hour, so
// it is narrowed to the oldest minute summary, then the oldest raw sample, as long as they
// fall within it (the finer tiers are pruned sooner).
std::optional<double> TimeSeriesStore::Impl::earliestSample() {
  auto oldest = [this](int tier) -> std::optional<double> {
    SQLiteStatement first(db(), kFirstOfMetric[tier]);
    if (!first.ok()) return std::nullopt;
    std::optional<std::int64_t> found;
    for (std::int64_t metric : metricsIn(kNextMetric[tier])) {
      first.bind(1, metric);
      if (first.step() == SQLITE_ROW) {
        const std::int64_t ts = first.columnInt64(0);
        if (!found || ts < *found) found = ts;
      }
      first.reset();
    }
    if (!found) return std::nullopt;
    return tier == 0 ? static_cast<double>(*found) / 1000.0 : static_cast<double>(*found);
  };
  std::optional<double> earliest = oldest(2);
  double within = 3600;
  for (const auto& [tier, width] : {std::pair{1, 60.0}, std::pair{0, 0.0}}) {
    const auto finer = oldest(tier);
    if (!finer) continue;
    if (!earliest || (*finer >= *earliest && *finer < *earliest + within)) {
      earliest = finer;
      within = width;
    }
  }
  return earliest;
}

std::optional<std::int64_t> TimeSeriesStore::Impl::insertEventLocked(const StoredEvent& event, bool& busy) {
  const double ts = StoreTime::seconds(event.date);
  const QByteArray kind = EventKinds::rawString(event.kind).toUtf8();
  const QByteArray code = event.code.toUtf8();
  const QByteArray payload = payloadText(event.payload);

  SQLiteStatement& insert = database->insertEvent;
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
  const int rc = insert.step();
  if (rc == SQLITE_DONE) return sqlite3_last_insert_rowid(db());
  busy = (rc & 0xff) == SQLITE_BUSY;
  if (!busy) failSql("cannot record the event");
  return std::nullopt;
}

void TimeSeriesStore::Impl::requeueEvents(std::vector<StoredEvent>& events) {
  std::lock_guard state(stateMutex);
  // Queued meanwhile by the sampling loop: later than these.
  events.insert(events.end(), std::make_move_iterator(pendingEvents.begin()),
                std::make_move_iterator(pendingEvents.end()));
  pendingEvents.swap(events);
  dropOldestEvents();
}

void TimeSeriesStore::Impl::queueEvent(const StoredEvent& event) {
  std::lock_guard state(stateMutex);
  pendingEvents.push_back(event);
  dropOldestEvents();
}

void TimeSeriesStore::Impl::dropOldestEvents() {
  if (pendingEvents.size() > kMaxPendingEvents) {
    const std::size_t excess = pendingEvents.size() - kMaxPendingEvents;
    pendingEvents.erase(pendingEvents.begin(), pendingEvents.begin() + static_cast<std::ptrdiff_t>(excess));
    dropped += excess;
  }
}

bool TimeSeriesStore::Impl::writePendingEventsLocked() {
  std::vector<StoredEvent> queued;
  {
    std::lock_guard state(stateMutex);
    if (pendingEvents.empty()) return true;
    queued.swap(pendingEvents);
  }
  std::size_t done = 0;
  bool busy = false;
  // An event the database refuses for another reason is dropped, its error kept.
  while (done < queued.size() && (insertEventLocked(queued[done], busy) || !busy)) ++done;
  if (done == queued.size()) return true;
  queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(done));
  requeueEvents(queued);
  return false;
}

std::optional<std::int64_t> TimeSeriesStore::record(const StoredEvent& event) {
  std::lock_guard connection(d->connectionMutex);
  d->writePendingEventsLocked();
  bool busy = false;
  const auto id = d->insertEventLocked(event, busy);
  if (busy) d->failSql("cannot record the event");
  return id;
}

void TimeSeriesStore::recordUnlessBusy(const StoredEvent& event) {
  std::unique_lock connection(d->connectionMutex, std::try_to_lock);
  if (connection.owns_lock()) {
    // Another program holding the write lock would make the insert wait out the busy timeout.
    sqlite3_busy_timeout(d->db(), 0);
    bool busy = false;
    const bool written = d->writePendingEventsLocked() && (d->insertEventLocked(event, busy) || !busy);
    sqlite3_busy_timeout(d->db(), kBusyTimeoutMs);
    if (written) return;
  }
  d->queueEvent(event);
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
  d->writePendingEventsLocked();
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
  d->writePendingEventsLocked();
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
  d->writePendingEventsLocked();
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

}  // namespace kivo
