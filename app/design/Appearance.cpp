#include "design/Appearance.h"

#include "design/Tokens.h"

#include <QWidget>

namespace kivo::Appearance {

bool isDark(const QPalette& palette) {
  return palette.color(QPalette::Active, QPalette::Window).lightness() <
         palette.color(QPalette::Active, QPalette::WindowText).lightness();
}

bool isDark(const QWidget* widget) {
  return widget != nullptr && isDark(widget->palette());
}

namespace {

QColor mixed(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * share + b.redF() * (1 - share)),
                          static_cast<float>(a.greenF() * share + b.greenF() * (1 - share)),
                          static_cast<float>(a.blueF() * share + b.blueF() * (1 - share)));
}

}  // namespace

QPalette palette(bool dark) {
  const auto c = [dark](const DynamicColor& color) { return color.resolve(dark); };
  QPalette p;
  const QColor canvas = c(Palette::canvas);
  const QColor surface = c(Palette::surface);
  const QColor raised = c(Palette::surfaceRaised);
  const QColor text = c(Palette::textPrimary);
  const QColor secondary = c(Palette::textSecondary);
  const QColor tertiary = c(Palette::textTertiary);
  const QColor accent = c(Palette::accent);
  const QColor hairline = c(Palette::hairline);
  // Selections: the dark accent is bright and the text on it would be light, so in dark a
  // selection is the accent muted into the card, under the normal light text.
  const QColor selection = dark ? mixed(accent, surface, 0.38) : accent;
  const QColor selectedText = dark ? text : surface;
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = group == QPalette::Disabled;
    p.setColor(group, QPalette::Window, canvas);
    p.setColor(group, QPalette::WindowText, disabled ? tertiary : text);
    p.setColor(group, QPalette::Base, surface);
    p.setColor(group, QPalette::AlternateBase, raised);
    p.setColor(group, QPalette::Text, disabled ? tertiary : text);
    p.setColor(group, QPalette::PlaceholderText, tertiary);
    p.setColor(group, QPalette::Button, raised);
    p.setColor(group, QPalette::ButtonText, disabled ? tertiary : text);
    p.setColor(group, QPalette::BrightText, c(Palette::danger));
    p.setColor(group, QPalette::ToolTipBase, surface);
    p.setColor(group, QPalette::ToolTipText, text);
    p.setColor(group, QPalette::Highlight, disabled ? raised : selection);
    p.setColor(group, QPalette::HighlightedText, disabled ? tertiary : selectedText);
    p.setColor(group, QPalette::Link, accent);
    p.setColor(group, QPalette::LinkVisited, c(Palette::accentSecondary));
    p.setColor(group, QPalette::Light, dark ? raised.lighter(130) : surface);
    p.setColor(group, QPalette::Midlight, raised);
    p.setColor(group, QPalette::Mid, hairline);
    p.setColor(group, QPalette::Dark, dark ? canvas : hairline.darker(120));
    p.setColor(group, QPalette::Shadow, dark ? QColor(0, 0, 0) : secondary);
  }
  return p;
}

std::optional<ColorScheme> colorSchemeFromPortal(unsigned value) {
  switch (value) {
    case 0:
      return ColorScheme::noPreference;
    case 1:
      return ColorScheme::preferDark;
    case 2:
      return ColorScheme::preferLight;
    default:
      return std::nullopt;
  }
}

bool resolveDark(AppearanceChoice choice, std::optional<ColorScheme> portal, bool startedDark) {
  switch (choice) {
    case AppearanceChoice::light:
      return false;
    case AppearanceChoice::dark:
      return true;
    case AppearanceChoice::system:
      break;
  }
  if (portal == ColorScheme::preferDark) return true;
  if (portal == ColorScheme::preferLight) return false;
  return startedDark;
}

}  // namespace kivo::Appearance
