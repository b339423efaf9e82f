#pragma once

// The statements of the history store, kept apart so that tests can check how SQLite
// runs them (every metric-table statement must search the (metric, ts) key).

namespace kivo::StoreSql {

inline constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS raw(metric INTEGER NOT NULL, ts INTEGER NOT NULL, v REAL NOT NULL, "
    "PRIMARY KEY(metric, ts)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS minute(metric INTEGER NOT NULL, ts INTEGER NOT NULL, mn REAL, mx REAL, av "
    "REAL, "
    "n INTEGER, PRIMARY KEY(metric, ts)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS hour(metric INTEGER NOT NULL, ts INTEGER NOT NULL, mn REAL, mx REAL, av "
    "REAL, "
    "n INTEGER, PRIMARY KEY(metric, ts)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY AUTOINCREMENT, ts REAL NOT NULL, kind TEXT NOT "
    "NULL, "
    "severity INTEGER NOT NULL, metric INTEGER, code TEXT NOT NULL, payload TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS events_ts ON events(ts)",
};

struct TableLayout {
  const char* table;
  const char* columns;
};
inline constexpr TableLayout kLayout[] = {
    {"raw", "metric,ts,v"},
    {"minute", "metric,ts,mn,mx,av,n"},
    {"hour", "metric,ts,mn,mx,av,n"},
    {"events", "id,ts,kind,severity,metric,code,payload"},
};

inline constexpr const char* kInsertRaw = "INSERT OR REPLACE INTO raw(metric, ts, v) VALUES(?,?,?)";
// A summary row only ever grows: a period seen again (a restart within it, or the
// clock stepping back into it) adds its new samples to what is already stored. A stored
// row without a positive count or without its figures (changed behind the store's back)
// holds no usable samples and is started afresh.
#define KIVO_SUMMARY_MERGE(table)                                                      \
  "INSERT INTO " table                                                                 \
  "(metric, ts, mn, mx, av, n) VALUES(?,?,?,?,?,?) ON CONFLICT(metric, ts) DO UPDATE " \
  "SET mn=CASE WHEN " KIVO_WHOLE                                                       \
  " THEN min(mn, excluded.mn) ELSE excluded.mn END, "                                  \
  "mx=CASE WHEN " KIVO_WHOLE                                                           \
  " THEN max(mx, excluded.mx) ELSE excluded.mx END, "                                  \
  "av=CASE WHEN " KIVO_WHOLE                                                           \
  " THEN (av * n + excluded.av * excluded.n) / (n + excluded.n) "                      \
  "ELSE excluded.av END, "                                                             \
  "n=CASE WHEN " KIVO_WHOLE " THEN n + excluded.n ELSE excluded.n END"
#define KIVO_WHOLE "n>0 AND mn IS NOT NULL AND mx IS NOT NULL AND av IS NOT NULL"
inline constexpr const char* kMergeMinute = KIVO_SUMMARY_MERGE("minute");
inline constexpr const char* kMergeHour = KIVO_SUMMARY_MERGE("hour");
#undef KIVO_WHOLE
#undef KIVO_SUMMARY_MERGE
inline constexpr const char* kInsertEvent =
    "INSERT INTO events(ts, kind, severity, metric, code, payload) VALUES(?,?,?,?,?,?)";
// A mean is kept within its bucket's bounds, which its rounding can step past.
inline constexpr const char* kSeriesRaw =
    "SELECT (ts / ?) * ?, MIN(v), MAX(v), max(MIN(v), min(MAX(v), AVG(v))), COUNT(*) FROM raw WHERE metric=? "
    "AND ts>=? AND ts<? "
    "GROUP BY 1 ORDER BY 1";
// Only whole summaries count: a row without a positive count or without its figures (a
// file changed behind the store's back) would read as zeros or skew the weighted mean.
inline constexpr const char* kSeriesMinute =
    "SELECT (ts / ?) * ?, MIN(mn), MAX(mx), max(MIN(mn), min(MAX(mx), SUM(av * n) / SUM(n))), SUM(n) FROM "
    "minute WHERE metric=? AND ts>=? "
    "AND ts<? AND n>0 AND mn IS NOT NULL AND mx IS NOT NULL AND av IS NOT NULL GROUP BY 1 ORDER BY 1";
inline constexpr const char* kSeriesHour =
    "SELECT (ts / ?) * ?, MIN(mn), MAX(mx), max(MIN(mn), min(MAX(mx), SUM(av * n) / SUM(n))), SUM(n) FROM "
    "hour WHERE metric=? AND ts>=? "
    "AND ts<? AND n>0 AND mn IS NOT NULL AND mx IS NOT NULL AND av IS NOT NULL GROUP BY 1 ORDER BY 1";

// Pruning walks the metrics present and deletes each one's old rows down the key,
// instead of scanning the whole table for old timestamps.
inline constexpr const char* kNextMetric[] = {
    "SELECT metric FROM raw WHERE metric>? ORDER BY metric LIMIT 1",
    "SELECT metric FROM minute WHERE metric>? ORDER BY metric LIMIT 1",
    "SELECT metric FROM hour WHERE metric>? ORDER BY metric LIMIT 1",
};
inline constexpr const char* kPrune[] = {
    "DELETE FROM raw WHERE metric=? AND ts<?",
    "DELETE FROM minute WHERE metric=? AND ts<?",
    "DELETE FROM hour WHERE metric=? AND ts<?",
};
// The oldest row of one metric, one seek down the key.
inline constexpr const char* kFirstOfMetric[] = {
    "SELECT ts FROM raw WHERE metric=? ORDER BY ts LIMIT 1",
    "SELECT ts FROM minute WHERE metric=? ORDER BY ts LIMIT 1",
    "SELECT ts FROM hour WHERE metric=? ORDER BY ts LIMIT 1",
};
inline constexpr const char* kPruneEvents = "DELETE FROM events WHERE ts < ?";

}  // namespace kivo::StoreSql
