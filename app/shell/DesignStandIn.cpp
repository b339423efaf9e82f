#include "shell/DesignStandIn.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace kivo {

QColor DynamicColor::resolve(bool isDark) const { return QColor::fromRgb(isDark ? dark : light); }
QColor DynamicColor::resolve(const QWidget* widget) const { return resolve(Appearance::isDark(widget)); }

const QFont& Typeface::caption() {
  static const QFont font = system(11);
  return font;
}

QFont Typeface::system(qreal pixelSize, QFont::Weight weight) {
  QFont font = QApplication::font();
  font.setPixelSize(qRound(pixelSize));
  font.setWeight(weight);
  return font;
}

bool Appearance::isDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}
bool Appearance::isDark(const QWidget* widget) { return widget && isDark(widget->palette()); }

QPalette Appearance::palette(bool dark) {
  QPalette p;
  const auto c = [dark](const DynamicColor& color) { return color.resolve(dark); };
  p.setColor(QPalette::Window, c(Palette::canvas));
  p.setColor(QPalette::WindowText, c(Palette::textPrimary));
  p.setColor(QPalette::Base, c(Palette::surface));
  p.setColor(QPalette::AlternateBase, c(Palette::surfaceRaised));
  p.setColor(QPalette::Text, c(Palette::textPrimary));
  p.setColor(QPalette::Button, c(Palette::surface));
  p.setColor(QPalette::ButtonText, c(Palette::textPrimary));
  p.setColor(QPalette::Highlight, c(Palette::accent));
  p.setColor(QPalette::HighlightedText, dark ? QColor(Qt::black) : QColor(Qt::white));
  p.setColor(QPalette::PlaceholderText, c(Palette::textTertiary));
  p.setColor(QPalette::Mid, c(Palette::hairline));
  return p;
}

double Environment::density(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QVariant value = widget->property("kivoDensity");
    if (value.isValid()) return value.toDouble();
  }
  return 1.0;
}
bool Environment::colorBlindSafe(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QVariant value = widget->property("kivoColorBlindSafe");
    if (value.isValid()) return value.toBool();
  }
  return false;
}
void Environment::apply(QWidget* root, double density, bool colorBlindSafe) {
  root->setProperty("kivoDensity", density);
  root->setProperty("kivoColorBlindSafe", colorBlindSafe);
  root->update();
}
double Environment::densityValue(DensityChoice choice) {
  switch (choice) {
    case DensityChoice::compact: return 0.72;
    case DensityChoice::comfortable: return 1.25;
    default: return 1.0;
  }
}

PageHeader::PageHeader(const QString& title, std::optional<QString> subtitle, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(title, this);
  label->setFont(Typeface::system(20, QFont::Bold));
  layout->addWidget(label);
  if (subtitle) layout->addWidget(new QLabel(*subtitle, this));
}

}  // namespace kivo
