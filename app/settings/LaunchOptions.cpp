#include "settings/LaunchOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace kivo::LaunchOptions {

namespace {

std::optional<QString> gatedText(const Preferences& standard, const QString& key) {
  if (!testMode(standard)) return std::nullopt;
  return standard.string(key);
}

std::optional<double> decimal(const QString& piece) {
  const QByteArray bytes = piece.toUtf8();
  const char* begin = bytes.constData();
  const char* end = begin + bytes.size();
  double value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

bool testMode(const Preferences& standard) {
  return standard.boolean(kUITest);
}

std::optional<double> interval(const Preferences& standard) {
  if (!testMode(standard) || !standard.contains(kInterval)) return std::nullopt;
  return std::max(standard.number(kInterval), 0.5);
}

std::optional<QString> appearance(const Preferences& standard) {
  return gatedText(standard, kAppearance);
}

std::optional<QString> preset(const Preferences& standard) {
  return gatedText(standard, kPreset);
}

std::optional<QSizeF> resizeTo(const Preferences& standard) {
  const auto text = standard.string(kResizeTo);
  if (!text) return std::nullopt;
  std::vector<double> numbers;
  for (const QString& piece : text->split(u'x', Qt::SkipEmptyParts)) {
    if (const auto number = decimal(piece)) numbers.push_back(*number);
  }
  if (numbers.size() != 2 || numbers[0] <= 0 || numbers[1] <= 0) return std::nullopt;
  return QSizeF(numbers[0], numbers[1]);
}

}  // namespace kivo::LaunchOptions
