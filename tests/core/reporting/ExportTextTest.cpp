#include "reporting/ExportText.h"
#include "reporting/JsonWriter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cmath>
#include <limits>

using namespace kivo;

TEST(ExportText, ShortestDecimal) {
  struct Case {
    double value;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {60, "60.0"},
      {0, "0.0"},
      {-0.0, "-0.0"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.3333333333333333"},
      {-42.5, "-42.5"},
      {1e15, "1000000000000000.0"},
      {9999999999999998.0, "9999999999999998.0"},
      {1e16, "1e+16"},
      {-2.5e17, "-2.5e+17"},
      {1e-4, "0.0001"},
      {2.5e-5, "2.5e-05"},
      {1.5e-300, "1.5e-300"},
      {1772373900.5, "1772373900.5"},
      {std::nan(""), "nan"},
      {inf, "inf"},
      {-inf, "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExportText::shortestDecimal(c.value), QByteArray(c.text)) << c.text;
  // Every finite text reads back as the same double.
  for (const double v : {0.1, 1.0 / 3.0, 123456.789, 2.5e-5, 1e16, 5e-324, 1.7976931348623157e308}) {
    EXPECT_EQ(std::strtod(ExportText::shortestDecimal(v).constData(), nullptr), v);
  }
}

TEST(ExportText, FixedThreeDecimals) {
  const std::pair<double, const char*> cases[] = {
      {1772373900.5, "1772373900.500"}, {1772373900, "1772373900.000"}, {0.0005, "0.001"}, {-1.25, "-1.250"}};
  for (const auto& [value, text] : cases) {
    std::string out;
    ExportText::appendFixed3(out, value);
    EXPECT_EQ(out, text);
  }
}

TEST(ExportText, IsoDates) {
  EXPECT_EQ(ExportText::isoDateFromSeconds(1772373900), QByteArray("2026-03-01T14:05:00Z"));
  EXPECT_EQ(ExportText::isoDateFromSeconds(1772373900.999), QByteArray("2026-03-01T14:05:00Z"));
  EXPECT_EQ(ExportText::isoDateFromSeconds(0), QByteArray("1970-01-01T00:00:00Z"));
  EXPECT_EQ(ExportText::isoDateFromSeconds(-0.5), QByteArray("1969-12-31T23:59:59Z"));
  EXPECT_EQ(ExportText::isoDateFromSeconds(951782400), QByteArray("2000-02-29T00:00:00Z"));
  EXPECT_EQ(ExportText::isoDateFromSeconds(std::nan("")), QByteArray());
  EXPECT_EQ(ExportText::isoDateFromSeconds(1e300), QByteArray());

  // A date in another zone is written in UTC.
  const QDateTime berlin(QDate(2026, 3, 1), QTime(15, 5, 0, 750), QTimeZone("Europe/Berlin"));
  EXPECT_EQ(ExportText::isoDate(berlin), QByteArray("2026-03-01T14:05:00Z"));

  const auto parsed = ExportText::parseIsoDate(QStringLiteral("2026-03-01T14:05:00Z"));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->toSecsSinceEpoch(), 1772373900);
  const auto offset = ExportText::parseIsoDate(QStringLiteral("2026-03-01T16:05:00+02:00"));
  ASSERT_TRUE(offset);
  EXPECT_EQ(offset->toSecsSinceEpoch(), 1772373900);

  for (const char* bad :
       {"", "2026-03-01", "2026-03-01T14:05:00", "2026-03-01T14:05:00.5Z", "2026-02-30T00:00:00Z",
        "2026-03-01T25:00:00Z", "2026-03-01 14:05:00Z", " 2026-03-01T14:05:00Z", "1772373900",
        "2026-03-01T14:05:00+24:00", "0000-01-01T00:00:00Z"}) {
    EXPECT_FALSE(ExportText::parseIsoDate(QString::fromLatin1(bad))) << bad;
  }
}

TEST(JsonWriter, PrettyPrintedForm) {
  JsonWriter w;
  w.beginObject();
  w.key("a");
  w.beginArray();
  w.endArray();
  w.key("b");
  w.beginArray();
  w.beginArray();
  w.string(QStringLiteral("x/y \"q\" \\ \n\t\x01 é"));
  w.integer(-3);
  w.endArray();
  w.beginObject();
  w.endObject();
  w.endArray();
  w.key("c");
  w.number(60);
  w.endObject();
  const QByteArray expected =
      "{\n"
      "  \"a\" : [],\n"
      "  \"b\" : [\n"
      "    [\n"
      "      \"x\\/y \\\"q\\\" \\\\ \\n\\t\\u0001 \xc3\xa9\",\n"
      "      -3\n"
      "    ],\n"
      "    {}\n"
      "  ],\n"
      "  \"c\" : 60.0\n"
      "}";
  const QByteArray text = w.take();
  EXPECT_EQ(text, expected);
  // And it is valid JSON that keeps the string.
  QJsonParseError error{};
  const auto doc = QJsonDocument::fromJson(text, &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  EXPECT_EQ(doc.object().value("b").toArray().at(0).toArray().at(0).toString(),
            QStringLiteral("x/y \"q\" \\ \n\t\x01 é"));
}

TEST(JsonWriter, NonFiniteNumbersFail) {
  for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
    JsonWriter w;
    w.beginArray();
    EXPECT_THROW(w.number(bad, "series[0].points[1].avg"), JsonEncodingError);
  }
  try {
    JsonWriter w;
    w.number(-std::numeric_limits<double>::infinity(), "step");
    FAIL();
  } catch (const JsonEncodingError& e) {
    EXPECT_NE(std::string(e.what()).find("step"), std::string::npos) << e.what();
  }
}
