#include "settings/LaunchArgumentPreferences.h"
#include "settings/LaunchOptions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

// Key, value, key, value... as they would follow the program name, each key with its dash.
LaunchArgumentPreferences launch(const QStringList& pairs) {
  QStringList arguments{QStringLiteral("kivo-monitor")};
  for (qsizetype i = 0; i < pairs.size(); ++i) arguments << (i % 2 == 0 ? u'-' + pairs[i] : pairs[i]);
  return LaunchArgumentPreferences(arguments, nullptr);
}

TEST(LaunchOptions, TestModeReadsKIVOUITestAsABoolean) {
  const struct {
    const char* value;
    bool expected;
  } cases[] = {{"YES", true}, {"1", true}, {"true", true}, {"no", false}, {"0", false}, {"", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(LaunchOptions::testMode(launch({LaunchOptions::kUITest, QString::fromUtf8(c.value)})),
              c.expected)
        << c.value;
  }
  EXPECT_FALSE(LaunchOptions::testMode(launch({})));
}

TEST(LaunchOptions, IntervalIsAtLeastHalfASecondAndOnlyInTestMode) {
  const struct {
    const char* testMode;
    const char* value;  // null: not given
    std::optional<double> expected;
  } cases[] = {
      {"YES", "0.2", 0.5},
      {"YES", "2", 2.0},
      {"YES", "abc", 0.5},
      {"YES", "nan", 0.5},
      {"YES", "inf", 0.5},
      {"YES", "1e999", 0.5},
      {"YES", "-3", 0.5},
      {"YES", "0.75", 0.75},
      {"YES", nullptr, std::nullopt},
      {"no", "2", std::nullopt},
      {nullptr, "2", std::nullopt},
  };
  for (const auto& c : cases) {
    QStringList args;
    if (c.testMode) args << LaunchOptions::kUITest << QString::fromUtf8(c.testMode);
    if (c.value) args << LaunchOptions::kInterval << QString::fromUtf8(c.value);
    EXPECT_EQ(LaunchOptions::interval(launch(args)), c.expected)
        << (c.testMode ? c.testMode : "-") << " " << (c.value ? c.value : "-");
  }
}

TEST(LaunchOptions, ResizeToParsesWidthByHeight) {
  const struct {
    const char* value;
    std::optional<QSizeF> expected;
  } cases[] = {
      {"1440x900", QSizeF(1440, 900)},
      {"1440X900", std::nullopt},
      {"1440x900x2", std::nullopt},
      {"1440xx900", QSizeF(1440, 900)},
      {"abcx1440x900", QSizeF(1440, 900)},
      {"x1280.5x800x", QSizeF(1280.5, 800)},
      {"1440", std::nullopt},
      {"", std::nullopt},
      {" 1440x900", std::nullopt},  // " 1440" is no decimal number
      {"nanx1440x900", QSizeF(1440, 900)},
      {"0x900", std::nullopt},
      {"-1440x900", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LaunchOptions::resizeTo(launch({LaunchOptions::kResizeTo, QString::fromUtf8(c.value)})),
              c.expected)
        << c.value;
  }
  // Honoured outside test mode too.
  EXPECT_EQ(LaunchOptions::resizeTo(launch({LaunchOptions::kUITest, QStringLiteral("NO"),
                                            LaunchOptions::kResizeTo, QStringLiteral("800x600")})),
            QSizeF(800, 600));
  EXPECT_FALSE(LaunchOptions::resizeTo(launch({})));
}

TEST(LaunchOptions, AppearanceAndPresetAreTextsGatedByTestMode) {
  const auto on = launch({LaunchOptions::kUITest, QStringLiteral("1"), LaunchOptions::kAppearance,
                          QStringLiteral("Dark"), LaunchOptions::kPreset, QStringLiteral("compact")});
  EXPECT_EQ(LaunchOptions::appearance(on), QStringLiteral("Dark"));
  EXPECT_EQ(LaunchOptions::preset(on), QStringLiteral("compact"));
  const auto off = launch({LaunchOptions::kAppearance, QStringLiteral("dark")});
  EXPECT_FALSE(LaunchOptions::appearance(off));
  EXPECT_FALSE(LaunchOptions::preset(launch({LaunchOptions::kUITest, QStringLiteral("YES")})));
}

}  // namespace
}  // namespace kivo
