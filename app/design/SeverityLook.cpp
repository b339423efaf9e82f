#include "design/SeverityLook.h"

namespace kivo::SeverityLook {

QString symbol(Severity severity) {
  switch (severity) {
    case Severity::info:
      return QStringLiteral("info.circle.fill");
    case Severity::warning:
      return QStringLiteral("exclamationmark.triangle.fill");
    case Severity::critical:
      return QStringLiteral("exclamationmark.octagon.fill");
  }
  return QStringLiteral("info.circle.fill");
}

DynamicColor color(Severity severity) {
  switch (severity) {
    case Severity::info:
      return Palette::accent;
    case Severity::warning:
      return Palette::warning;
    case Severity::critical:
      return Palette::danger;
  }
  return Palette::accent;
}

}  // namespace kivo::SeverityLook
