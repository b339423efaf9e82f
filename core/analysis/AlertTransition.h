#pragma once

#include "analysis/AlertRule.h"

#include <QDateTime>

#include <optional>
#include <string_view>

namespace kivo {

// One fired or resolved change of one rule, made by AlertEngine::evaluate.
struct AlertTransition {
  enum class Kind { fired, resolved };

  AlertRule rule;  // the rule as it was at the change
  Kind kind = Kind::fired;
  double value = 0;  // NaN when a disabled rule resolves without a value
  QDateTime date;
  double held = 0;  // seconds since the breach began; 0 when unknown

  bool operator==(const AlertTransition&) const = default;

  static std::string_view rawValue(Kind kind) { return kind == Kind::fired ? "fired" : "resolved"; }
  static std::optional<Kind> kindFromRawValue(std::string_view raw) {
    if (raw == "fired") return Kind::fired;
    if (raw == "resolved") return Kind::resolved;
    return std::nullopt;
  }
};

}  // namespace kivo
