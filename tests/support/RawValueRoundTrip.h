#pragma once

#include <gtest/gtest.h>

#include <QJsonValue>
#include <QString>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace kivo::test {

// Every case of a table's enumeration, in declaration order, turns into its own raw value and
// back, as text and as JSON.
template <typename Lookups>
void expectRoundTrips(const char* name) {
  SCOPED_TRACE(name);
  const auto cases = Lookups::allCases();
  ASSERT_FALSE(cases.empty());
  std::set<std::string_view> raws;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto value = cases[i];
    const std::string_view raw = Lookups::rawValue(value);
    EXPECT_EQ(static_cast<std::size_t>(value), i) << raw;
    EXPECT_FALSE(raw.empty()) << i;
    EXPECT_TRUE(raws.insert(raw).second) << raw << " names two cases";
    EXPECT_EQ(Lookups::fromRawValue(raw), value) << raw;
    const QString text = Lookups::rawString(value);
    EXPECT_EQ(text.toStdString(), std::string(raw));
    EXPECT_EQ(Lookups::fromRawValue(QStringView(text)), value) << raw;
    EXPECT_EQ(Lookups::fromJson(Lookups::toJson(value)), value) << raw;
  }
}

}  // namespace kivo::test
