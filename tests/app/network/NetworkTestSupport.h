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

// A model whose DNS and Wi-Fi readers give what the test says.
struct NetworkRig : ModelRig {
  explicit NetworkRig(DNSConfiguration dns = {}, std::optional<WiFiLink> wifi = std::nullopt) {
    model.reset();
    auto environment = fakeEnvironment(probe);
    environment.dns = [dns] { return dns; };
    environment.wifi = [wifi] { return wifi; };
    model = std::make_unique<MonitorModel>(*settings, *standard, environment);
  }
};

inline NetworkInterface interface(const QString& name, InterfaceKind kind, bool up, bool running, QStringList ipv4,
                                  QStringList ipv6 = {}) {
  NetworkInterface result;
  result.name = name;
  result.kind = kind;
  result.isUp = up;
  result.isRunning = running;
  result.ipv4 = std::move(ipv4);
  result.ipv6 = std::move(ipv6);
  return result;
}

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
