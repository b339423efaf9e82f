#include "reporting/ReportGenerator.h"
#include "reporting/ReportKind.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace kivo;

namespace {
const ValueFormatter english{QLocale(QLocale::English, QLocale::UnitedStates)};
const Localize identity = [](const QString& s) { return s; };
}  // namespace

TEST(ReportKind, CasesAndMetrics) {
  ASSERT_EQ(ReportKinds::allCases().size(), 7u);
  for (const auto kind : ReportKinds::allCases()) {
    EXPECT_EQ(ReportKinds::fromRawValue(ReportKinds::rawValue(kind)), kind);
    EXPECT_EQ(ReportKinds::id(kind).toStdString(), ReportKinds::rawValue(kind));
  }
  EXPECT_FALSE(ReportKinds::fromRawValue("Incident"));
  EXPECT_FALSE(ReportKinds::fromRawValue(""));
  const std::pair<ReportKind, std::size_t> sizes[] = {{ReportKind::system, 12u}, {ReportKind::cpu, 4u},
                                                      {ReportKind::memory, 10u}, {ReportKind::storage, 3u},
                                                      {ReportKind::network, 2u}, {ReportKind::processes, 2u},
                                                      {ReportKind::incident, 9u}};
  for (const auto& [kind, size] : sizes) EXPECT_EQ(ReportKinds::metrics(kind).size(), size);
  const auto processes = ReportKinds::metrics(ReportKind::processes);
  EXPECT_EQ(processes[0], MetricID::processCount);
  EXPECT_EQ(processes[1], MetricID::cpuTotal);
  EXPECT_EQ(ReportKinds::metrics(ReportKind::system).back(), MetricID::batteryCharge);
  EXPECT_EQ(ReportGenerator::title(ReportKind::incident), QStringLiteral("Performance Incident Report"));
}

TEST(ReportGenerator, DisplayOfSummaryValues) {
  struct Case {
    double value;
    MetricID metric;
    const char* text;
  };
  const Case cases[] = {
      {1.5, MetricID::thermalState, "Serious"},
      {0.5, MetricID::thermalState, "Fair"},  // halves away from zero
      {7, MetricID::thermalState, "Critical"},
      {-1, MetricID::thermalState, "Nominal"},
      {0.49, MetricID::memPressure, "Normal"},
      {0.5, MetricID::memPressure, "Warning"},
      {1.5, MetricID::memPressure, "Critical"},
      {1500000000, MetricID::diskFree, "1.5 GB"},  // file style even though the unit is bytes
      {1610612736, MetricID::memUsed, "1.5 GiB"},
      {42.25, MetricID::cpuTotal, "42.3%"},
      {2500000, MetricID::netDown, "2.5 MB/s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReportGenerator::display(c.value, c.metric, MetricCatalog::descriptor(c.metric).unit, english,
                                       identity),
              QString::fromUtf8(c.text))
        << c.value;
  }
  const Localize upper = [](const QString& s) { return s.toUpper(); };
  EXPECT_EQ(ReportGenerator::display(2, MetricID::thermalState, MetricUnit::level, english, upper),
            QStringLiteral("SERIOUS"));
}

TEST(ReportGenerator, MarkdownTables) {
  EXPECT_EQ(ReportGenerator::line({"a|b", "c"}), QStringLiteral("| a\\|b | c |\n"));
  EXPECT_EQ(ReportGenerator::table({"A", "B", "C"}, {}),
            QStringLiteral("| A | B | C |\n| --- | --- | --- |\n"));
  // Rows keep their own number of cells.
  EXPECT_EQ(ReportGenerator::table({"A", "B"}, {{"1"}, {"1", "2", "3"}}),
            QStringLiteral("| A | B |\n| --- | --- |\n| 1 |\n| 1 | 2 | 3 |\n"));
  // A line break inside a cell would end the row: it shows as a mark, as on screen.
  EXPECT_EQ(ReportGenerator::line({"one\ntwo", "x\r\ny\rz", QStringLiteral("p\u2028q")}),
            QStringLiteral("| one\u21B5two | x\u21B5y\u21B5z | p\u21B5q |\n"));
}

TEST(ReportGenerator, CsvFields) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"CPU total", "CPU total"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"crlf\r\nhere", "\"crlf\r\nhere\""},
      {"semi;colon 'single'", "semi;colon 'single'"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReportGenerator::field(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
