#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/Page.h"

#include <QApplication>
#include <QDir>
#include <QVBoxLayout>

namespace kivo::test {

// The page on the window canvas, tall enough to show every card, in light or dark.
inline void savePage(Page& page, const QString& folder, const QString& name, bool dark, int width = 1100,
                     int height = 1900) {
  static const bool icons = [] {
    Icons::initResources();
    return true;
  }();
  (void)icons;
  QWidget window;
  window.setPalette(Appearance::palette(dark));
  window.setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  QWidget* previous = page.parentWidget();
  layout->addWidget(&page);
  Environment::apply(&window, 1.0, false);
  window.resize(width, height);
  window.show();
  QCoreApplication::processEvents();
  const QString dir = outputDir() + QLatin1Char('/') + folder;
  QDir().mkpath(dir);
  window.grab().save(dir + QLatin1Char('/') + name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png")));
  layout->removeWidget(&page);
  page.setParent(previous);
}

}  // namespace kivo::test
