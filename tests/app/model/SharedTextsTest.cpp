#include "model/HistoryRange.h"
#include "settings/AppearanceChoice.h"
#include "settings/DensityChoice.h"
#include "settings/MenuBarItem.h"
#include "texts/Localized.h"
#include "texts/PowerText.h"
#include "texts/ThermalText.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTranslator>

#include <gtest/gtest.h>

namespace kivo {
namespace {

// Answers a few keys of the "KIVO" context in upper case, as a loaded translation would.
class ShoutingTranslator : public QTranslator {
 public:
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (QByteArrayView(context) != "KIVO") return {};
    const QString text = QString::fromUtf8(source);
    if (text == QStringLiteral("Charging") || text == QStringLiteral("7 days") ||
        text == QStringLiteral("%1 of %2")) {
      return text == QStringLiteral("%1 of %2") ? QStringLiteral("%2 HAS %1") : text.toUpper();
    }
    return {};
  }
  bool isEmpty() const override { return false; }
};

class WithTranslator : public ::testing::Test {
 protected:
  void SetUp() override { QCoreApplication::installTranslator(&translator); }
  void TearDown() override { QCoreApplication::removeTranslator(&translator); }
  ShoutingTranslator translator;
};

TEST_F(WithTranslator, TextsAreLookedUpAtTheTimeOfTheCall) {
  PowerSample charging;
  charging.isCharging = true;
  EXPECT_EQ(PowerText::state(charging), QStringLiteral("CHARGING"));
  EXPECT_EQ(HistoryRanges::title(HistoryRange::week), QStringLiteral("7 DAYS"));
  EXPECT_EQ(HistoryRanges::title(HistoryRange::day), QStringLiteral("24 hours"));  // no translation: the key
  // The translated format may reorder its placeholders.
  EXPECT_EQ(tr("%1 of %2", QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("b HAS a"));
}

TEST(Localized, FillsPlaceholdersInOnePass) {
  EXPECT_EQ(tr("%1 is high", QStringLiteral("100%2")), QStringLiteral("100%2 is high"));
  EXPECT_EQ(tr("%1 %2 for %3", QStringLiteral("%3"), QStringLiteral("x"), QStringLiteral("y")),
            QStringLiteral("%3 x for y"));
  EXPECT_EQ(tr("80 % of one core"), QStringLiteral("80 % of one core"));
}

TEST(HistoryRange, FixedLengthsAndTitles) {
  const struct {
    HistoryRange range;
    const char* raw;
    double seconds;
    const char* title;
  } cases[] = {
      {HistoryRange::hour, "hour", 3600, "1 hour"},
      {HistoryRange::sixHours, "sixHours", 21600, "6 hours"},
      {HistoryRange::day, "day", 86400, "24 hours"},
      {HistoryRange::week, "week", 604800, "7 days"},
      {HistoryRange::month, "month", 2592000, "30 days"},
      {HistoryRange::year, "year", 31536000, "1 year"},
  };
  ASSERT_EQ(HistoryRanges::allCases().size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(HistoryRanges::allCases()[i], c.range);
    EXPECT_EQ(HistoryRanges::rawValue(c.range), QString::fromUtf8(c.raw));
    EXPECT_EQ(HistoryRanges::fromRawValue(QString::fromUtf8(c.raw)), c.range);
    EXPECT_EQ(HistoryRanges::seconds(c.range), c.seconds);
    EXPECT_EQ(HistoryRanges::title(c.range), QString::fromUtf8(c.title));
  }
  // A range across a daylight-saving change or a leap day is still its fixed length.
  const QDateTime now = QDateTime::fromString(QStringLiteral("2024-03-31T12:00:00Z"), Qt::ISODate);
  const QDateTime start = now.addSecs(-static_cast<qint64>(HistoryRanges::seconds(HistoryRange::month)));
  EXPECT_EQ(start.secsTo(now), 2592000);
  EXPECT_EQ(start, QDateTime::fromString(QStringLiteral("2024-03-01T12:00:00Z"), Qt::ISODate));
}

TEST(DisplayChoices, RawValuesAreCaseNamesInOrderAndMatchExactly) {
  auto raw = [](auto cases, auto rawValue) {
    QStringList names;
    for (auto c : cases) names << rawValue(c);
    return names;
  };
  EXPECT_EQ(raw(AppearanceChoices::allCases(), AppearanceChoices::rawString),
            (QStringList{"system", "light", "dark"}));
  EXPECT_EQ(raw(DensityChoices::allCases(), DensityChoices::rawString),
            (QStringList{"compact", "regular", "comfortable"}));
  EXPECT_EQ(raw(MenuBarItems::allCases(), MenuBarItems::rawString),
            (QStringList{"cpu", "memory", "network", "disk", "battery"}));
  EXPECT_EQ(AppearanceChoices::fromRawValue(u"dark"), AppearanceChoice::dark);
  EXPECT_FALSE(AppearanceChoices::fromRawValue(u"Dark"));
  EXPECT_FALSE(DensityChoices::fromJson(QJsonValue(1)));
  EXPECT_EQ(MenuBarItems::fromJson(QJsonValue(QStringLiteral("battery"))), MenuBarItem::battery);
  EXPECT_FALSE(MenuBarItems::fromJson(QJsonValue(QStringLiteral("gpu"))));
}

TEST(ThermalText, NamesAndExplanationsPerLevel) {
  const struct {
    ThermalLevel level;
    const char* name;
    const char* explanation;
  } cases[] = {
      {ThermalLevel::nominal, "Nominal", "The system is within its normal thermal range."},
      // The levels are read from the thermal zones' trip points: passive cooling (throttling)
      // starts at "Fair", and the kernel powers off at the critical trip.
      {ThermalLevel::fair, "Fair", "The system is warm. The kernel may begin to reduce performance."},
      {ThermalLevel::serious, "Serious", "The system is hot. The kernel may reduce performance."},
      {ThermalLevel::critical, "Critical",
       "The system is at its critical temperature. The kernel shuts the computer down to protect it."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThermalText::name(c.level), QString::fromUtf8(c.name));
    EXPECT_EQ(ThermalText::explanation(c.level), QString::fromUtf8(c.explanation));
  }
}

TEST(PowerText, StateIsChargedThenChargingThenTheSource) {
  const struct {
    bool hasBattery;
    PowerSourceKind source;
    bool charging;
    bool charged;
    const char* expected;
  } cases[] = {
      {true, PowerSourceKind::ac, true, true, "Fully charged"},
      {true, PowerSourceKind::battery, true, false, "Charging"},
      {true, PowerSourceKind::ac, false, false, "On AC power, not charging"},
      {false, PowerSourceKind::ac, false, false, "On AC power, not charging"},
      {true, PowerSourceKind::battery, false, false, "On battery"},
      {false, PowerSourceKind::ups, false, false, "On UPS power"},
      {false, PowerSourceKind::unknown, false, false, "Power source unknown"},
  };
  for (const auto& c : cases) {
    const PowerSample sample(c.hasBattery, c.source, c.charging, c.charged, false);
    EXPECT_EQ(PowerText::state(sample), QString::fromUtf8(c.expected)) << c.expected;
  }
  EXPECT_EQ(PowerText::source(PowerSourceKind::ac), QStringLiteral("AC adapter"));
  EXPECT_EQ(PowerText::source(PowerSourceKind::battery), QStringLiteral("Battery"));
  EXPECT_EQ(PowerText::source(PowerSourceKind::ups), QStringLiteral("UPS"));
  EXPECT_EQ(PowerText::source(PowerSourceKind::unknown), QStringLiteral("Unknown"));
}

}  // namespace
}  // namespace kivo
