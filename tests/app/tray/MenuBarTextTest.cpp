#include "features/tray/MenuBarText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

TEST(MenuBarText, ShortRateTable) {
  const struct {
    double rate;
    const char* text;
  } cases[] = {
      {0, "0K"},
      {999, "1K"},
      {1'500, "2K"},
      {999'999, "1000K"},
      {1'000'000, "1.0M"},
      {1'500'000, "1.5M"},
      {9'999'999, "10.0M"},
      {10'000'000, "10M"},
      {12'345'678, "12M"},
      {999'999'999, "1000M"},
      {1e9, "1.0G"},
      {2.5e9, "2.5G"},
      {-5, "0K"},
      {std::nan(""), "0K"},
      {std::numeric_limits<double>::infinity(), "0K"},
      {-std::numeric_limits<double>::infinity(), "0K"},
      {std::numeric_limits<double>::max(), nullptr},  // finite: a long but valid text
  };
  for (const auto& c : cases) {
    const QString text = MenuBarText::shortRate(c.rate);
    if (c.text) {
      EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.rate;
    } else {
      EXPECT_TRUE(text.endsWith(QLatin1Char('G'))) << text.toStdString();
      EXPECT_GT(text.size(), 300);
    }
  }
}

TEST(MenuBarText, ShortRateKeepsAFullStopInADecimalCommaLocale) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(MenuBarText::shortRate(1'500'000), QStringLiteral("1.5M"));
  QLocale::setDefault(before);
}

TEST(MenuBarText, TitlesOfEveryIndicator) {
  EXPECT_EQ(MenuBarText::title(MenuBarItem::cpu), QStringLiteral("CPU"));
  EXPECT_EQ(MenuBarText::title(MenuBarItem::memory), QStringLiteral("Memory"));
  EXPECT_EQ(MenuBarText::title(MenuBarItem::network), QStringLiteral("Network"));
  EXPECT_EQ(MenuBarText::title(MenuBarItem::disk), QStringLiteral("Disk activity"));
  EXPECT_EQ(MenuBarText::title(MenuBarItem::battery), QStringLiteral("Battery"));
}

}  // namespace
}  // namespace kivo
