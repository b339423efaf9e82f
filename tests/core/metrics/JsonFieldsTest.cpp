#include "metrics/JsonFields.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QTimeZone>

#include <cmath>

using namespace kivo;

namespace {
QJsonObject parse(const char* text) {
  return QJsonDocument::fromJson(QByteArray(text)).object();
}
}  // namespace

TEST(JsonFields, RequiredAndOptionalFieldsRejectWrongTypes) {
  const QJsonObject o = parse(R"({"n": 12.5, "i": 12, "big": 9223372036854775807, "s": "x", "b": true,
                                  "z": null, "neg": -3, "list": ["a", 1], "nums": [1, 2.5]})");
  namespace J = JsonFields;
  EXPECT_EQ(J::required<double>(o, "n"), 12.5);
  EXPECT_EQ(J::required<std::int64_t>(o, "n"), std::nullopt);  // not whole
  EXPECT_EQ(J::required<std::int64_t>(o, "big"), INT64_MAX);
  EXPECT_EQ(J::required<int>(o, "big"), std::nullopt);  // out of range
  EXPECT_EQ(J::required<std::uint64_t>(o, "neg"), std::nullopt);
  EXPECT_EQ(J::required<QString>(o, "i"), std::nullopt);
  EXPECT_EQ(J::required<bool>(o, "z"), std::nullopt);  // null is not a value
  EXPECT_EQ(J::required<QStringList>(o, "list"), std::nullopt);
  EXPECT_EQ(J::required<std::vector<double>>(o, "nums"), (std::vector<double>{1, 2.5}));

  const auto missing = J::optional<double>(o, "nope");
  const auto null = J::optional<double>(o, "z");
  const auto wrong = J::optional<double>(o, "s");
  const auto present = J::optional<QString>(o, "s");
  EXPECT_TRUE(missing.ok && !missing.value);
  EXPECT_TRUE(null.ok && !null.value);
  EXPECT_FALSE(wrong.ok);
  EXPECT_TRUE(present.ok && present.value == QStringLiteral("x"));
}

TEST(JsonFields, ReasonsNameTheKeyAndKeepTheFirst) {
  const QJsonObject o = parse(R"({"a": "text", "b": 1.5})");
  QString error;
  EXPECT_FALSE(JsonFields::required<double>(o, "a", &error));
  EXPECT_FALSE(JsonFields::required<std::int64_t>(o, "b", &error));
  EXPECT_EQ(error, QStringLiteral("\"a\" must be a finite number"));
  error.clear();
  EXPECT_FALSE(JsonFields::required<bool>(o, "c", &error));
  EXPECT_EQ(error, QStringLiteral("missing key \"c\""));
  EXPECT_EQ(JsonFields::required<double>(o, "b", nullptr), 1.5);
}

TEST(JsonFields, UnsignedCountsSurviveTheWholeRange) {
  for (const std::uint64_t value : {std::uint64_t{0}, std::uint64_t{INT64_MAX}, std::uint64_t{INT64_MAX} + 1,
                                    std::uint64_t{UINT64_MAX}}) {
    QJsonObject o;
    JsonFields::put(o, "v", std::optional<std::uint64_t>(value));
    const QJsonObject back = QJsonDocument::fromJson(QJsonDocument(o).toJson()).object();
    const auto read = JsonFields::required<std::uint64_t>(back, "v");
    ASSERT_TRUE(read) << value;
    // Above 2^63 only a double is written: exact at the ends, within its precision between.
    if (value <= std::uint64_t{INT64_MAX} || value == UINT64_MAX)
      EXPECT_EQ(*read, value);
    else
      EXPECT_NEAR(static_cast<double>(*read), static_cast<double>(value), 2048.0);
  }
}

TEST(JsonFields, AbsentAndNonFiniteValuesAreLeftOut) {
  QJsonObject o;
  JsonFields::put(o, "a", std::optional<double>());
  JsonFields::put(o, "b", std::optional<double>(std::numeric_limits<double>::infinity()));
  JsonFields::put(o, "c", std::optional<QString>());
  JsonFields::put(o, "d", std::optional<int>(0));
  EXPECT_EQ(o.keys(), QStringList{QStringLiteral("d")});
}

TEST(JsonFields, RecordAndDocumentDateForms) {
  const QDateTime date = QDateTime::fromMSecsSinceEpoch(1'700'000'000'250, QTimeZone::utc());
  EXPECT_EQ(JsonFields::fromDate(date), QJsonValue(QStringLiteral("2023-11-14T22:13:20.250Z")));
  EXPECT_TRUE(JsonFields::fromDate(QDateTime()).isNull());
  EXPECT_EQ(JsonFields::as<QDateTime>(QJsonValue(QStringLiteral("2023-11-14T23:13:20.250+01:00"))), date);
  EXPECT_EQ(JsonFields::as<QDateTime>(QJsonValue(QStringLiteral("yesterday"))), std::nullopt);

  EXPECT_EQ(JsonFields::documentDate(1'700'000'000.9), QStringLiteral("2023-11-14T22:13:20Z"));
  EXPECT_EQ(JsonFields::documentDate(-0.5), QStringLiteral("1969-12-31T23:59:59Z"));
  EXPECT_EQ(JsonFields::documentDate(std::nan("")), QString());
  EXPECT_EQ(JsonFields::documentDate(1e300), QString());
  EXPECT_EQ(JsonFields::parseDocumentDate(QStringLiteral("2023-11-14T23:13:20+01:00")), 1'700'000'000.0);
  EXPECT_EQ(JsonFields::parseDocumentDate(QStringLiteral("2023-11-14T22:13:20")), std::nullopt);  // no zone
  EXPECT_EQ(JsonFields::parseDocumentDate(QStringLiteral("2023-11-14")), std::nullopt);
}
