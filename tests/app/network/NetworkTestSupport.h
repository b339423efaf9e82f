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

// A model fed snapshots whose slow readings carry the DNS and Wi-Fi the test says.
struct NetworkRig : ModelRig {
  explicit NetworkRig(DNSConfiguration dns = {}, std::optional<WiFiLink> wifi = std::nullopt)
      : dns(std::move(dns)), wifi(std::move(wifi)) {}

  // The snapshot as the engine would send it, with the slow readings.
  TelemetrySnapshot withSlowReadings(TelemetrySnapshot snapshot) const {
    snapshot.dns = dns;
    snapshot.wifi = wifi;
    return snapshot;
  }

  DNSConfiguration dns;
  std::optional<WiFiLink> wifi;
};

inline NetworkInterface interface(const QString& name, InterfaceKind kind, bool up, bool running,
                                  QStringList ipv4, QStringList ipv6 = {}) {
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
