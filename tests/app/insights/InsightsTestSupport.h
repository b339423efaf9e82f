#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Icons.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QWidget>

namespace kivo::test {

// <page>/ under the test output folder, for the PNGs a person looks at.
inline QString pageOutput(const QString& page, const QString& name) {
  const QString dir = outputDir() + QLatin1Char('/') + page;
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

// Icons and the Fusion style as the application sets them up; call before building a page.
inline void prepareLook() {
  static const bool ready = [] {
    Icons::initResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    return true;
  }();
  (void)ready;
}

// Renders the widget at the size in light and dark under <page>/<name>-<light|dark>.png.
inline void grabBoth(QWidget& widget, const QString& page, const QString& name, QSize size) {
  prepareLook();
  widget.resize(size);
  for (const bool dark : {false, true}) {
    widget.setPalette(Appearance::palette(dark));
    widget.show();
    QApplication::processEvents();
    widget.grab().save(pageOutput(page, name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png"))));
  }
}

}  // namespace kivo::test
