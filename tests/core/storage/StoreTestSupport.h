#pragma once

#include "storage/StoreTime.h"
#include "storage/TimeSeriesStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kivo::test {

inline QDateTime at(double seconds) {
  return StoreTime::date(seconds);
}

// The start of the previous hour: recent enough for the default retention to keep
// everything a test writes after it.
inline double recentHour() {
  return std::floor(StoreTime::seconds(QDateTime::currentDateTimeUtc()) / 3600) * 3600 - 3600;
}

inline QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// A second, plain connection to a store's file: to look at what it wrote or to
// plant rows and faults behind its back.
class RawDatabase {
 public:
  explicit RawDatabase(const QString& path) {
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                    nullptr);
    sqlite3_busy_timeout(db_, 5000);
  }
  ~RawDatabase() { sqlite3_close(db_); }
  RawDatabase(const RawDatabase&) = delete;
  RawDatabase& operator=(const RawDatabase&) = delete;

  // Runs statements; returns the error message or an empty string.
  std::string exec(const std::string& sql) {
    char* error = nullptr;
    sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    return message;
  }

  // Every row of a query, each column as text ("NULL" for null).
  std::vector<std::vector<std::string>> rows(const std::string& sql) {
    std::vector<std::vector<std::string>> result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return result;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
        row.emplace_back(text ? text : "NULL");
      }
      result.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    return result;
  }

  std::string value(const std::string& sql) {
    const auto result = rows(sql);
    return result.empty() || result[0].empty() ? std::string("<none>") : result[0][0];
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace kivo::test
