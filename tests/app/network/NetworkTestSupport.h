#pragma once

#include "PageShots.h"
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

}  // namespace kivo::test
