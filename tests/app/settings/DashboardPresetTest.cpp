#include "settings/DashboardPreset.h"
#include "settings/UuidText.h"

#include "JsonDecoding.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using K = WidgetKind;
using S = WidgetSize;

std::vector<std::pair<K, S>> layout(const DashboardPreset& preset) {
  std::vector<std::pair<K, S>> result;
  for (const auto& w : preset.widgets) result.emplace_back(w.kind, w.size);
  return result;
}

TEST(DashboardPreset, BuiltInsAreTheShippedLayoutsWithFreshIds) {
  const auto first = DashboardPreset::builtIn();
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0].id, DashboardPreset::overviewID);
  EXPECT_EQ(first[1].id, DashboardPreset::performanceID);
  EXPECT_EQ(first[2].id, DashboardPreset::compactID);
  EXPECT_EQ(UuidText::format(DashboardPreset::compactID),
            QStringLiteral("0F1D0000-0000-4000-8000-000000000003"));
  EXPECT_EQ(first[0].name, QStringLiteral("Overview"));
  EXPECT_EQ(first[1].name, QStringLiteral("Performance"));
  EXPECT_EQ(first[2].name, QStringLiteral("Compact"));
  for (const auto& preset : first) EXPECT_TRUE(preset.isBuiltIn);

  const std::vector<std::pair<K, S>> overview{
      {K::cpu, S::medium},    {K::memory, S::medium}, {K::gpu, S::small},      {K::thermal, S::small},
      {K::battery, S::small}, {K::system, S::small},  {K::network, S::medium}, {K::diskActivity, S::medium},
      {K::disk, S::medium},   {K::topCPU, S::medium}, {K::cores, S::medium},   {K::alerts, S::medium}};
  const std::vector<std::pair<K, S>> performance{
      {K::cpu, S::large},        {K::cores, S::medium}, {K::topCPU, S::medium},  {K::memory, S::medium},
      {K::topMemory, S::medium}, {K::gpu, S::medium},   {K::overhead, S::medium}};
  const std::vector<std::pair<K, S>> compact{
      {K::cpu, S::small},     {K::memory, S::small},  {K::network, S::small}, {K::diskActivity, S::small},
      {K::battery, S::small}, {K::thermal, S::small}, {K::gpu, S::small},     {K::system, S::small}};
  EXPECT_EQ(layout(first[0]), overview);
  EXPECT_EQ(layout(first[1]), performance);
  EXPECT_EQ(layout(first[2]), compact);

  const auto second = DashboardPreset::builtIn();
  QSet<QUuid> ids;
  for (const auto& list : {first, second}) {
    for (const auto& preset : list) {
      for (const auto& widget : preset.widgets) ids.insert(widget.id);
    }
  }
  EXPECT_EQ(ids.size(), 2 * (12 + 7 + 8));
  EXPECT_NE(first, second);
  EXPECT_EQ(layout(first[1]), layout(second[1]));
}

TEST(DashboardPreset, WidgetSizesDecodeOnlyFromOneTwoAndFour) {
  const struct {
    QJsonValue json;
    std::optional<S> expected;
  } cases[] = {
      {1, S::small},       {2, S::medium},    {4, S::large},       {2.0, S::medium},
      {3, std::nullopt},   {0, std::nullopt}, {2.5, std::nullopt}, {QStringLiteral("2"), std::nullopt},
      {true, std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(WidgetSizes::fromJson(c.json), c.expected) << c.json.toVariant().toString().toStdString();
  }
  EXPECT_EQ(WidgetSizes::toJson(S::large), QJsonValue(4));
}

TEST(DashboardPreset, WidgetKindsAreTheirCaseNames) {
  ASSERT_EQ(WidgetKinds::allCases().size(), 14u);
  for (const K kind : WidgetKinds::allCases()) {
    EXPECT_EQ(WidgetKinds::fromJson(WidgetKinds::toJson(kind)), kind);
  }
  EXPECT_EQ(WidgetKinds::rawString(K::diskActivity), QStringLiteral("diskActivity"));
  EXPECT_EQ(WidgetKinds::rawString(K::topCPU), QStringLiteral("topCPU"));
  EXPECT_FALSE(WidgetKinds::fromRawValue(u"TopCPU"));
  EXPECT_FALSE(WidgetKinds::fromJson(QJsonValue(1)));
}

TEST(DashboardPreset, JsonRoundTripsAndRejectsAnyBadPart) {
  DashboardPreset preset{QUuid::createUuid(),
                         QStringLiteral("  Mine  "),
                         {WidgetConfig(K::gpu, S::small), WidgetConfig(K::overhead, S::large)},
                         false};
  const QJsonObject json = preset.toJson();
  EXPECT_EQ(DashboardPreset::fromJson(json), preset);
  EXPECT_EQ(json.value(QStringLiteral("id")).toString(), UuidText::format(preset.id));
  EXPECT_EQ(json.value(QStringLiteral("id")).toString(),
            json.value(QStringLiteral("id")).toString().toUpper());

  // Lower-case identifiers read too.
  QJsonObject lower = json;
  lower[QStringLiteral("id")] = preset.id.toString(QUuid::WithoutBraces);
  EXPECT_EQ(DashboardPreset::fromJson(lower), preset);

  EXPECT_TRUE(test::refusesWithoutEach(json, {"id", "name", "widgets", "isBuiltIn"},
                                       [](const QJsonObject& o) { return DashboardPreset::fromJson(o); }));
  auto withWidget = [&](const char* field, const QJsonValue& value) {
    QJsonObject copy = json;
    QJsonArray widgets = copy.value(QStringLiteral("widgets")).toArray();
    QJsonObject widget = widgets[1].toObject();
    widget[QString::fromUtf8(field)] = value;
    widgets[1] = widget;
    copy[QStringLiteral("widgets")] = widgets;
    return copy;
  };
  EXPECT_FALSE(DashboardPreset::fromJson(withWidget("size", 3)));
  EXPECT_FALSE(DashboardPreset::fromJson(withWidget("kind", QStringLiteral("sensors"))));
  EXPECT_FALSE(
      DashboardPreset::fromJson(withWidget("id", QStringLiteral("{") + UuidText::format(preset.id) + "}")));
  EXPECT_FALSE(DashboardPreset::fromJson(withWidget("id", QStringLiteral("not-an-id"))));
  QJsonObject named = json;
  named[QStringLiteral("isBuiltIn")] = 0;
  EXPECT_FALSE(DashboardPreset::fromJson(named));
}

TEST(UuidText, ParsesOnlyTheHyphenatedForm) {
  EXPECT_TRUE(UuidText::parse(u"0f1d0000-0000-4000-8000-000000000001"));
  EXPECT_TRUE(UuidText::parse(u"00000000-0000-0000-0000-000000000000"));
  EXPECT_FALSE(UuidText::parse(u"{0F1D0000-0000-4000-8000-000000000001}"));
  EXPECT_FALSE(UuidText::parse(u"0F1D00000000400080000000000000001"));
  EXPECT_FALSE(UuidText::parse(u"0F1D0000-0000-4000-8000-00000000000G"));
  EXPECT_FALSE(UuidText::parse(u"0F1D0000_0000-4000-8000-000000000001"));
  EXPECT_FALSE(UuidText::parse(u""));
}

}  // namespace
}  // namespace kivo
