#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace kivo {

// Owns one open SQLite handle; closes it when destroyed. Statements of the handle
// must be finalised first.
class SQLiteConnection {
 public:
  explicit SQLiteConnection(sqlite3* handle) : handle_(handle) {}
  ~SQLiteConnection();
  SQLiteConnection(const SQLiteConnection&) = delete;
  SQLiteConnection& operator=(const SQLiteConnection&) = delete;

  sqlite3* handle() const { return handle_; }
  // Runs statements without parameters; returns SQLite's result code.
  int exec(const char* sql);
  QString errorMessage() const;
  bool inTransaction() const;

 private:
  sqlite3* handle_;
};

// One prepared statement, finalised when destroyed. A statement that failed to
// prepare is !ok() and every call on it is harmless.
class SQLiteStatement {
 public:
  SQLiteStatement() = default;
  SQLiteStatement(sqlite3* handle, const char* sql);
  SQLiteStatement(sqlite3* handle, const QByteArray& sql) : SQLiteStatement(handle, sql.constData()) {}
  ~SQLiteStatement();
  SQLiteStatement(SQLiteStatement&& other) noexcept;
  SQLiteStatement& operator=(SQLiteStatement&& other) noexcept;
  SQLiteStatement(const SQLiteStatement&) = delete;
  SQLiteStatement& operator=(const SQLiteStatement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  // Result of preparing (SQLITE_OK on success).
  int prepareResult() const { return prepareResult_; }

  // Positions count from 1. Results are those of sqlite3_bind_*.
  int bind(int position, std::int64_t value);
  int bind(int position, int value) { return bind(position, static_cast<std::int64_t>(value)); }
  int bind(int position, double value);
  // Copied by SQLite at once.
  int bind(int position, const QByteArray& utf8);
  int bindNull(int position);

  // SQLITE_ROW, SQLITE_DONE or an error code; SQLITE_MISUSE when not prepared.
  int step();
  // Ready to run again; bindings cleared. Ends the statement's read of the file.
  void reset();

  std::int64_t columnInt64(int column) const;
  double columnDouble(int column) const;
  bool columnIsNull(int column) const;
  QString columnText(int column) const;
  QByteArray columnBytes(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int prepareResult_ = 0;
};

// Resets a statement when leaving a scope, whatever happened in it.
class StatementReset {
 public:
  explicit StatementReset(SQLiteStatement& statement) : statement_(statement) {}
  ~StatementReset() { statement_.reset(); }
  StatementReset(const StatementReset&) = delete;
  StatementReset& operator=(const StatementReset&) = delete;

 private:
  SQLiteStatement& statement_;
};

}  // namespace kivo
