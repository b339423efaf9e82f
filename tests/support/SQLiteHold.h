#pragma once

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>

namespace kivo::test {

// Stops a connection in the middle of one statement until released, so a test can act
// while another thread is known to be inside SQLite. Every connection opened while a
// hold exists gets a progress handler; once armed with a piece of SQL, the first
// statement containing it stops there. A hold that is never released gives up after
// kGiveUp, so a faulty store fails its test instead of hanging it.
class SQLiteHold {
 public:
  static constexpr std::chrono::seconds kGiveUp{20};

  SQLiteHold() {
    current().store(this);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&install));
  }
  ~SQLiteHold() {
    release();
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&install));
    current().store(nullptr);
  }
  SQLiteHold(const SQLiteHold&) = delete;
  SQLiteHold& operator=(const SQLiteHold&) = delete;

  void arm(std::string sqlPiece) {
    std::lock_guard lock(mutex_);
    piece_ = std::move(sqlPiece);
    armed_.store(true);
  }

  // True once a statement stopped at the hold.
  bool waitUntilHolding() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kGiveUp, [this] { return entered_; });
  }

  // Whether the statement is still stopped (it neither was released nor gave up).
  bool isHolding() {
    std::lock_guard lock(mutex_);
    return entered_ && !left_;
  }

  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  static std::atomic<SQLiteHold*>& current() {
    static std::atomic<SQLiteHold*> hold{nullptr};
    return hold;
  }

  static int install(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_progress_handler(db, 1, &onProgress, db);
    return SQLITE_OK;
  }

  static int onProgress(void* context) {
    SQLiteHold* hold = current().load();
    if (!hold || !hold->armed_.load()) return 0;
    auto* db = static_cast<sqlite3*>(context);
    for (sqlite3_stmt* statement = sqlite3_next_stmt(db, nullptr); statement;
         statement = sqlite3_next_stmt(db, statement)) {
      if (sqlite3_stmt_busy(statement) && hold->matches(sqlite3_sql(statement))) {
        hold->stop();
        break;
      }
    }
    return 0;
  }

  bool matches(const char* sql) {
    std::lock_guard lock(mutex_);
    return sql && armed_.load() && std::strstr(sql, piece_.c_str()) != nullptr;
  }

  void stop() {
    std::unique_lock lock(mutex_);
    if (!armed_.exchange(false)) return;
    entered_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, kGiveUp, [this] { return released_; });
    left_ = true;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> armed_{false};
  std::string piece_;
  bool entered_ = false;
  bool released_ = false;
  bool left_ = false;
};

}  // namespace kivo::test
