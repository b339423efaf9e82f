#include "analysis/EventPayload.h"

#include <QLocale>

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

using namespace kivo;

namespace {

// A stand-in for a German user locale: the C library's German locale is not
// installed everywhere, so this sets every locale a formatter could consult.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

class GermanLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  }
  void TearDown() override {
    std::locale::global(previous_);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::setlocale(LC_NUMERIC, "C");
  }
  std::locale previous_;
};

TEST_F(GermanLocale, WritesAndReadsBackInTheCLocale) {
  struct Case {
    double value;
    const char* decimal;
    const char* oneDecimal;
  };
  const Case cases[] = {
      {90, "90.0", "90.0"},
      {92.5, "92.5", "92.5"},
      {93.44, "93.44", "93.4"},
      {0.1, "0.1", "0.1"},
      {-1.25, "-1.25", "-1.2"},
      {2e10, "20000000000.0", "20000000000.0"},
      {1e21, "1e+21", "1000000000000000000000.0"},
      {5242880.5, "5242880.5", "5242880.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EventPayload::decimal(c.value), QString::fromLatin1(c.decimal));
    EXPECT_EQ(EventPayload::oneDecimal(c.value), QString::fromLatin1(c.oneDecimal));
    EXPECT_EQ(EventPayload::parseDecimal(EventPayload::decimal(c.value)), c.value);
  }
  EXPECT_EQ(EventPayload::parseDecimal(u"93.4"), 93.4);
}

TEST(EventPayload, SpecialValues) {
  EXPECT_EQ(EventPayload::decimal(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("nan"));
  EXPECT_EQ(EventPayload::wholeSeconds(600.7), QStringLiteral("600"));
  EXPECT_EQ(EventPayload::wholeSeconds(45.9), QStringLiteral("45"));
  EXPECT_EQ(EventPayload::wholeSeconds(-1.5), QStringLiteral("-1"));
  EXPECT_EQ(EventPayload::wholeSeconds(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("0"));
  EXPECT_EQ(EventPayload::wholeSeconds(1e300), QStringLiteral("9223372036854775807"));
}

TEST(EventPayload, ParseAcceptsOnlyAWholeFiniteNumber) {
  const char16_t* rejected[] = {u"",    u" 93.4", u"93.4 ", u"93,4", u"+93.4",
                                u"abc", u"93.4x", u"nan",   u"inf",  u"１"};
  for (const char16_t* text : rejected) {
    EXPECT_FALSE(EventPayload::parseDecimal(QStringView(text))) << QString::fromUtf16(text).toStdString();
  }
  EXPECT_EQ(EventPayload::parseDecimal(u"-0.5"), -0.5);
  EXPECT_EQ(EventPayload::parseDecimal(u"1e3"), 1000.0);
  EXPECT_EQ(EventPayload::parseDecimal(u"100"), 100.0);
}

}  // namespace
