#pragma once

#include <QJsonValue>
#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

namespace kivo {

namespace rawvalues {
// Whether the enumeration declares a case of this value: compilers spell a declared case by its
// name in a function's signature, and any other value as a cast, "(Kind)3".
template <auto kCase>
constexpr bool isDeclared() {
  constexpr std::string_view signature = __PRETTY_FUNCTION__;
  constexpr std::string_view key = "kCase = ";
  constexpr std::size_t at = signature.find(key);
  static_assert(at != std::string_view::npos, "this compiler spells template arguments in another way");
  return signature[at + key.size()] != '(';
}
}  // namespace rawvalues

// The cases of an enumeration whose raw value is its case name, and the look-ups each such
// enumeration offers (allCases, rawValue, fromRawValue, toJson, fromJson). The cases are listed
// in declaration order, so a raw value is found by index; a table in another order does not
// compile when it is constexpr, and neither does one that leaves out the last cases (rawValue
// would read past its end for them).
template <typename Enum, std::size_t N>
class RawValueTable {
  static_assert(std::is_enum_v<Enum> && !std::is_convertible_v<Enum, int>, "a scoped enumeration");
  static_assert(!rawvalues::isDeclared<static_cast<Enum>(N)>(),
                "the table leaves out a case of its enumeration: every case is listed, in declaration order");

 public:
  using Entry = std::pair<Enum, std::string_view>;
  using EnumType = Enum;

  constexpr explicit RawValueTable(const Entry (&entries)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
      if (static_cast<std::size_t>(entries[i].first) != i) throw "cases must be listed in declaration order";
      cases_[i] = entries[i].first;
      raws_[i] = entries[i].second;
    }
  }

  constexpr std::span<const Enum> allCases() const { return cases_; }
  constexpr std::string_view rawValue(Enum value) const { return raws_[static_cast<std::size_t>(value)]; }
  QString rawString(Enum value) const {
    const std::string_view raw = rawValue(value);
    return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
  }
  // Exact, case-sensitive.
  constexpr std::optional<Enum> fromRawValue(std::string_view raw) const {
    for (std::size_t i = 0; i < N; ++i) {
      if (raws_[i] == raw) return cases_[i];
    }
    return std::nullopt;
  }
  std::optional<Enum> fromRawValue(QStringView raw) const {
    for (std::size_t i = 0; i < N; ++i) {
      if (raw == QLatin1String(raws_[i].data(), static_cast<qsizetype>(raws_[i].size()))) return cases_[i];
    }
    return std::nullopt;
  }
  QJsonValue toJson(Enum value) const { return rawString(value); }
  // Only a JSON string holding a raw value decodes.
  std::optional<Enum> fromJson(const QJsonValue& value) const {
    if (!value.isString()) return std::nullopt;
    return fromRawValue(QStringView(value.toString()));
  }

 private:
  std::array<Enum, N> cases_{};
  std::array<std::string_view, N> raws_{};
};

// Deduces the size: rawValueTable<Kind>({{Kind::a, "a"}, {Kind::b, "b"}}).
template <typename Enum, std::size_t N>
constexpr RawValueTable<Enum, N> rawValueTable(const std::pair<Enum, std::string_view> (&entries)[N]) {
  return RawValueTable<Enum, N>(entries);
}

// An enumeration's look-ups as static members over its table, so that the enumeration's
// companion is its table and nothing more:
//   inline constexpr auto kKindRawValues = rawValueTable<Kind>({...});
//   struct Kinds : RawValueLookups<kKindRawValues> {};   // Kinds::fromJson(value) ...
template <const auto& table>
struct RawValueLookups {
  using Enum = typename std::remove_cvref_t<decltype(table)>::EnumType;

  static constexpr std::span<const Enum> allCases() { return table.allCases(); }
  static constexpr std::string_view rawValue(Enum value) { return table.rawValue(value); }
  static QString rawString(Enum value) { return table.rawString(value); }
  // Exact, case-sensitive.
  static constexpr std::optional<Enum> fromRawValue(std::string_view raw) { return table.fromRawValue(raw); }
  static std::optional<Enum> fromRawValue(QStringView raw) { return table.fromRawValue(raw); }
  static QJsonValue toJson(Enum value) { return table.toJson(value); }
  // Only a JSON string holding a raw value decodes.
  static std::optional<Enum> fromJson(const QJsonValue& value) { return table.fromJson(value); }
};

}  // namespace kivo
