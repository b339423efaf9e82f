#include "storage/StoreSql.h"

#include "StoreTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace kivo;
using namespace kivo::test;

namespace {

std::string plan(RawDatabase& db, const char* sql) {
  std::string text;
  for (const auto& row : db.rows(std::string("EXPLAIN QUERY PLAN ") + sql)) text += row.back() + "; ";
  return text;
}

}  // namespace

// Pruning and range queries must seek the (metric, ts) key: a scan of the raw table
// at steady state reads hundreds of thousands of rows for every statement.
TEST(StorePlan, MetricTableStatementsSearchThePrimaryKey) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/telemetry.sqlite";
  { TimeSeriesStore store(path); }
  RawDatabase db(path);
  const char* const tables[] = {"raw", "minute", "hour"};
  for (int i = 0; i < 3; ++i) {
    const std::string table = tables[i];
    EXPECT_EQ(plan(db, StoreSql::kPrune[i]), "SEARCH " + table + " USING PRIMARY KEY (metric=? AND ts<?); ");
    EXPECT_NE(plan(db, StoreSql::kNextMetric[i]).find("SEARCH " + table + " USING PRIMARY KEY (metric>?)"),
              std::string::npos);
    EXPECT_EQ(plan(db, StoreSql::kFirstOfMetric[i]), "SEARCH " + table + " USING PRIMARY KEY (metric=?); ");
  }
  for (const char* sql : {StoreSql::kSeriesRaw, StoreSql::kSeriesMinute, StoreSql::kSeriesHour}) {
    EXPECT_NE(plan(db, sql).find("USING PRIMARY KEY (metric=? AND ts>? AND ts<?)"), std::string::npos) << sql;
  }
  EXPECT_NE(plan(db, StoreSql::kPruneEvents).find("USING INDEX events_ts"), std::string::npos);
  EXPECT_NE(
      plan(db, "SELECT id FROM events WHERE kind IN ('alert') AND ts>=? AND ts<=? ORDER BY ts DESC LIMIT ?")
          .find("events_ts"),
      std::string::npos);
}
