#include "storage/SQLiteConnection.h"

#include <sqlite3.h>

#include <utility>

namespace kivo {

SQLiteConnection::~SQLiteConnection() {
  if (handle_) sqlite3_close(handle_);
}

int SQLiteConnection::exec(const char* sql) {
  return sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr);
}

QString SQLiteConnection::errorMessage() const {
  if (!handle_) return QStringLiteral("unknown");
  return QString::fromUtf8(sqlite3_errmsg(handle_));
}

bool SQLiteConnection::inTransaction() const {
  return handle_ && sqlite3_get_autocommit(handle_) == 0;
}

SQLiteStatement::SQLiteStatement(sqlite3* handle, const char* sql) {
  prepareResult_ = sqlite3_prepare_v2(handle, sql, -1, &stmt_, nullptr);
  if (prepareResult_ != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  } else if (!stmt_) {
    prepareResult_ = SQLITE_MISUSE;  // only a comment or white space
  }
}

SQLiteStatement::~SQLiteStatement() {
  sqlite3_finalize(stmt_);
}

SQLiteStatement::SQLiteStatement(SQLiteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), prepareResult_(other.prepareResult_) {}

SQLiteStatement& SQLiteStatement::operator=(SQLiteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    stmt_ = std::exchange(other.stmt_, nullptr);
    prepareResult_ = other.prepareResult_;
  }
  return *this;
}

int SQLiteStatement::bind(int position, std::int64_t value) {
  return stmt_ ? sqlite3_bind_int64(stmt_, position, value) : SQLITE_MISUSE;
}

int SQLiteStatement::bind(int position, double value) {
  return stmt_ ? sqlite3_bind_double(stmt_, position, value) : SQLITE_MISUSE;
}

int SQLiteStatement::bind(int position, const QByteArray& utf8) {
  if (!stmt_) return SQLITE_MISUSE;
  return sqlite3_bind_text(stmt_, position, utf8.constData(), static_cast<int>(utf8.size()),
                           SQLITE_TRANSIENT);
}

int SQLiteStatement::bindNull(int position) {
  return stmt_ ? sqlite3_bind_null(stmt_, position) : SQLITE_MISUSE;
}

int SQLiteStatement::step() {
  return stmt_ ? sqlite3_step(stmt_) : SQLITE_MISUSE;
}

void SQLiteStatement::reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t SQLiteStatement::columnInt64(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

double SQLiteStatement::columnDouble(int column) const {
  return sqlite3_column_double(stmt_, column);
}

bool SQLiteStatement::columnIsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString SQLiteStatement::columnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (!text) return {};
  return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray SQLiteStatement::columnBytes(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (!text) return {};
  return QByteArray(text, sqlite3_column_bytes(stmt_, column));
}

}  // namespace kivo
