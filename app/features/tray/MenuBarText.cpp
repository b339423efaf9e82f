#include "features/tray/MenuBarText.h"

#include "texts/Localized.h"

#include <charconv>
#include <cmath>

namespace kivo::MenuBarText {

QString title(MenuBarItem item) {
  return MenuBarItems::title(item);
}

namespace {
// Fixed-point digits without any locale (to_chars always writes a full stop).
QString fixed(double value, int digits, char unit) {
  // Room for the largest finite double written out in full.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::fixed, digits);
  if (result.ec != std::errc()) result.ptr = buffer;
  *result.ptr = unit;
  return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer + 1));
}
}  // namespace

QString shortRate(double x) {
  // An infinite rate is as meaningless as NaN; it would otherwise print "infG".
  if (!std::isfinite(x) || x < 0) return fixed(0, 0, 'K');
  if (x >= 1e9) return fixed(x / 1e9, 1, 'G');
  if (x >= 1e7) return fixed(x / 1e6, 0, 'M');
  if (x >= 1e6) return fixed(x / 1e6, 1, 'M');
  return fixed(x / 1e3, 0, 'K');
}

}  // namespace kivo::MenuBarText
