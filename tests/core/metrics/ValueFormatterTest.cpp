#include "metrics/ValueFormatter.h"

#include "LocalZone.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <cmath>
#include <limits>

using namespace kivo;

namespace {
const QLocale english(QLocale::English, QLocale::UnitedStates);
const QLocale german(QLocale::German, QLocale::Germany);
}  // namespace

TEST(ValueFormatter, BytesAndRates) {
  const ValueFormatter f(english);
  struct Case {
    double value;
    bool memory;
    const char* expected;
  };
  const Case cases[] = {
      {-5, true, "0 bytes"},         {std::nan(""), false, "0 bytes"},
      {1023.9, true, "1,023 bytes"},  // the fraction is dropped, not rounded up
      {1, true, "1 byte"},           {1.9, false, "1 byte"},
      {2, false, "2 bytes"},         {1536, true, "1.5 KiB"},
      {1500, false, "1.5 kB"},       {1024.0 * 1024 * 1024 * 16, true, "16.0 GiB"},
      {2.5e12, false, "2.5 TB"},
  };
  for (const auto& c : cases) EXPECT_EQ(f.bytes(c.value, c.memory), QString::fromUtf8(c.expected)) << c.value;
  EXPECT_EQ(f.bytes(std::uint64_t{1536}, true), QStringLiteral("1.5 KiB"));
  EXPECT_EQ(f.rate(0), QStringLiteral("0 bytes/s"));
  EXPECT_EQ(f.rate(1), QStringLiteral("1 byte/s"));
  EXPECT_EQ(ValueFormatter(german).rate(1), QStringLiteral("1 byte/s"));
  EXPECT_EQ(f.rate(2'500'000), QStringLiteral("2.5 MB/s"));
  // Out of range input must not fail.
  EXPECT_FALSE(f.bytes(std::numeric_limits<double>::infinity(), true).isEmpty());
  EXPECT_FALSE(f.rate(1e30).isEmpty());
}

TEST(ValueFormatter, ClockIsExactAndUnlocalised) {
  struct Case {
    double seconds;
    const char* expected;
  };
  const Case cases[] = {
      {59, "0:00:59"},        {86399.6, "1 d 0:00:00"}, {86399.4, "23:59:59"},
      {93784, "1 d 2:03:04"}, {-3, "0:00:00"},          {std::nan(""), "0:00:00"},
      {2.5, "0:00:03"},       {3600, "1:00:00"},        {864000, "10 d 0:00:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueFormatter(english).clock(c.seconds), QLatin1String(c.expected)) << c.seconds;
    EXPECT_EQ(ValueFormatter(german).clock(c.seconds), QLatin1String(c.expected)) << c.seconds;
  }
}

// The largest unit and the one below it; a zero one below is hidden, never skipped over.
TEST(ValueFormatter, DurationShowsTheLargestUnitAndTheNext) {
  const ValueFormatter f(english);
  struct Case {
    double seconds;
    const char* expected;
  };
  const Case cases[] = {
      {3725, "1 h 2 min"},
      {90061, "1 d 1 h"},
      {-10, "0 s"},
      {0.4, "0 s"},
      {2.5, "3 s"},
      {86400, "1 d"},
      {3605, "1 h"},
      {59.5, "1 min"},
      {14 * 3600 + 56, "14 h 1 min"},
      {14 * 3600 + 29, "14 h"},
      {86400 + 59, "1 d"},
      {2 * 86400 + 1800, "2 d 1 h"},
      {86399, "1 d"},
      {3599, "59 min 59 s"},
      {3570, "59 min 30 s"},
      {61, "1 min 1 s"},
      {1e300, "106,751,991,167,300 d 15 h"},
  };
  for (const auto& c : cases) EXPECT_EQ(f.duration(c.seconds), QLatin1String(c.expected)) << c.seconds;
}

TEST(ValueFormatter, NumbersFollowTheLocale) {
  struct Case {
    QLocale locale;
    double value;
    MetricUnit unit;
    const char* expected;
  };
  const Case cases[] = {
      {english, 42.26, MetricUnit::percent, "42.3%"},
      {german, 42.26, MetricUnit::percent, "42,3%"},
      {english, 3, MetricUnit::level, "3.0"},
      {english, 0.5, MetricUnit::perSecond, "0.5/s"},
      {english, 12.34, MetricUnit::milliseconds, "12.3 ms"},
      {german, 12.34, MetricUnit::milliseconds, "12,3 ms"},
      {english, 1234567, MetricUnit::count, "1,234,567"},
      {german, 1234567, MetricUnit::count, "1.234.567"},
      {english, 1.234, MetricUnit::load, "1.23"},
      {english, -7.25, MetricUnit::watts, "-7.3 W"},
      {english, 41.26, MetricUnit::celsius, "41.3 °C"},
      {german, 41.26, MetricUnit::celsius, "41,3 °C"},
      {english, 1536, MetricUnit::bytes, "1.5 KiB"},
      {german, 1536, MetricUnit::bytes, "1,5 KiB"},
      {english, 1500, MetricUnit::bytesPerSecond, "1.5 kB/s"},
      {english, 3725, MetricUnit::seconds, "1 h 2 min"},
      {english, -0.01, MetricUnit::percent, "0.0%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValueFormatter(c.locale).value(c.value, c.unit), QString::fromUtf8(c.expected))
        << c.locale.name().toStdString() << " " << c.value;
  }
  EXPECT_EQ(ValueFormatter(english).percent(50, 0), QStringLiteral("50%"));
  EXPECT_EQ(ValueFormatter(english).number(2.0, 2), QStringLiteral("2.00"));
}

TEST(ValueFormatter, DateUsesAbbreviatedDateAndTimeWithSeconds) {
  const QDateTime date(QDate(2026, 12, 10), QTime(15, 4, 5), QTimeZone::utc());
  EXPECT_EQ(ValueFormatter(english).date(date), QStringLiteral("Dec 10, 2026, 3:04:05 PM"));
  const QString de = ValueFormatter(german).date(date);
  EXPECT_TRUE(de.contains(QStringLiteral("15:04:05"))) << de.toStdString();
  EXPECT_TRUE(de.contains(QStringLiteral("2026"))) << de.toStdString();
}

// The night the clocks go back in Berlin (25 Oct 2026, 03:00 CEST becomes 02:00 CET) shows 2:30
// twice: both name their zone, the times around them do not. A period across a change of the
// clocks names the zone at both ends, so a day of 25 or 23 hours reads as one.
TEST(ValueFormatter, LocalTimesAroundAChangeOfTheClocks) {
  const test::LocalZone berlin("Europe/Berlin");
  const ValueFormatter f(english);
  const auto at = [](int month, int day, int hour, int minute) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), QTimeZone::utc());
  };
  const struct {
    QDateTime date;
    const char* expected;
  } dates[] = {
      {at(10, 25, 0, 30), "Oct 25, 2026, 2:30:00 AM CEST"},
      {at(10, 25, 1, 30), "Oct 25, 2026, 2:30:00 AM CET"},
      {at(10, 24, 23, 59), "Oct 25, 2026, 1:59:00 AM"},
      {at(10, 25, 2, 0), "Oct 25, 2026, 3:00:00 AM"},
      {at(3, 29, 0, 59), "Mar 29, 2026, 1:59:00 AM"},  // the hour skipped in spring repeats nothing
      {at(3, 29, 1, 0), "Mar 29, 2026, 3:00:00 AM"},
      {at(7, 1, 12, 0), "Jul 1, 2026, 2:00:00 PM"},
  };
  for (const auto& c : dates) EXPECT_EQ(f.date(c.date), QLatin1String(c.expected)) << c.expected;

  const struct {
    QDateTime from;
    QDateTime to;
    const char* expected;
  } periods[] = {
      // Midnight to midnight: 25 hours in autumn, 23 in spring.
      {at(10, 24, 22, 0), at(10, 25, 23, 0),
       "Oct 25, 2026, 12:00:00 AM CEST → Oct 26, 2026, 12:00:00 AM CET"},
      {at(3, 28, 23, 0), at(3, 29, 22, 0), "Mar 29, 2026, 12:00:00 AM CET → Mar 30, 2026, 12:00:00 AM CEST"},
      // The last 24 hours across the change end an hour earlier on the clock.
      {at(10, 24, 8, 0), at(10, 25, 8, 0), "Oct 24, 2026, 10:00:00 AM CEST → Oct 25, 2026, 9:00:00 AM CET"},
      {at(7, 1, 0, 0), at(7, 2, 0, 0), "Jul 1, 2026, 2:00:00 AM → Jul 2, 2026, 2:00:00 AM"},
      {at(10, 25, 0, 0), at(10, 25, 0, 30), "Oct 25, 2026, 2:00:00 AM CEST → Oct 25, 2026, 2:30:00 AM CEST"},
  };
  for (const auto& c : periods) {
    const auto [from, to] = f.period(c.from, c.to);
    EXPECT_EQ(from + QStringLiteral(" → ") + to, QString::fromUtf8(c.expected));
  }
}
