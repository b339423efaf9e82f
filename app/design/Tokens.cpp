#include "design/Tokens.h"

#include "design/Appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace kivo {

QColor DynamicColor::resolve(bool isDark) const {
  const QRgb value = isDark ? dark : light;
  return QColor(qRed(value), qGreen(value), qBlue(value));
}

QColor DynamicColor::resolve(const QWidget* widget) const {
  return resolve(Appearance::isDark(widget));
}

QColor DynamicColor::resolve(const QPalette& palette) const {
  return resolve(Appearance::isDark(palette));
}

namespace Typeface {
namespace {

QString family() {
  const QString name = QGuiApplication::font().family();
  return name.isEmpty() ? QStringLiteral("DejaVu Sans") : name;
}

QFont make(qreal pixelSize, QFont::Weight weight) {
  QFont font(family());
  font.setPixelSize(qRound(pixelSize));
  font.setWeight(weight);
  return font;
}

}  // namespace

QFont system(qreal pixelSize, QFont::Weight weight) {
  return make(pixelSize, weight);
}

// Function-local statics: built once, thread-safe, kept for the life of the process.
const QFont& label() {
  static const QFont font = [] {
    QFont f = make(11, QFont::DemiBold);
    f.setCapitalization(QFont::SmallCaps);
    return f;
  }();
  return font;
}

const QFont& value() {
  static const QFont font = make(13, QFont::Medium);
  return font;
}

const QFont& caption() {
  static const QFont font = make(11, QFont::Normal);
  return font;
}

const QFont& mono() {
  static const QFont font = [] {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(12);
    f.setWeight(QFont::Normal);
    return f;
  }();
  return font;
}

}  // namespace Typeface

}  // namespace kivo
