#include "texts/HistoryText.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace kivo {
namespace {

// The cause leads, once; the store's message follows in brackets only where it adds something.
TEST(HistoryText, WriteFailureStatesItsCauseOnce) {
  const struct {
    const char* what;
    StoreWriteStatus status;
    const char* expected;
  } cases[] = {
      {"full disk",
       {QStringLiteral("cannot commit history: the disk is full"), SQLITE_FULL, 12, 0},
       "The disk is full: 12 samples are waiting to be written."},
      {"full disk, rows dropped",
       {QStringLiteral("cannot write samples: the disk is full"), SQLITE_FULL, 1500, 3},
       "The disk is full: 1,500 samples are waiting to be written. 3 older rows were dropped."},
      {"read-only",
       {QStringLiteral("cannot commit history: attempt to write a readonly database"), SQLITE_READONLY, 4, 0},
       "The history database is read-only: 4 samples are waiting to be written. (cannot commit history: "
       "attempt "
       "to write a readonly database)"},
      {"disk error",
       {QStringLiteral("cannot commit history: disk I/O error"), SQLITE_IOERR, 2, 0},
       "The disk reported an error while writing the history: 2 samples are waiting to be written. (cannot "
       "commit history: disk I/O error)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HistoryText::writeFailure(c.status).toStdString(), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace kivo
