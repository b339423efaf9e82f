#include "collectors/WiFiReader.h"

#include "collectors/NetworkCollector.h"
#include "platform/KernelFiles.h"
#include "platform/NetInterfaces.h"

#include <net/if.h>

#include <cmath>

namespace kivo {

namespace {

bool is24GHz(unsigned f) {
  return f >= 2412 && f <= 2484;
}
bool is5GHz(unsigned f) {
  return f >= 5150 && f <= 5925;
}
bool is6GHz(unsigned f) {
  return f == 5935 || (f >= 5955 && f <= 7115);
}

// Radio switched off (soft: by the user or the network manager; hard: a switch): absent when
// the phy has no rfkill entry.
std::optional<bool> rfkillAllows(const KernelFiles& files, const std::string& name) {
  const std::string phy = "/sys/class/net/" + name + "/phy80211";
  for (const auto& item : files.list(phy)) {
    if (!item.starts_with("rfkill")) continue;
    const std::string base = phy + '/' + item;
    const auto soft = files.readInt(base + "/soft");
    const auto hard = files.readInt(base + "/hard");
    if (!soft && !hard) continue;
    return soft.value_or(0) == 0 && hard.value_or(0) == 0;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> WiFiReader::channel(unsigned f) {
  if (f == 2484) return 14;
  if (is24GHz(f)) return static_cast<int>((f - 2407) / 5);
  if (f == 5935) return 2;
  if (is6GHz(f)) return static_cast<int>((f - 5950) / 5);
  if (f >= 5000 && f <= 5925) return static_cast<int>((f - 5000) / 5);
  if (f >= 4910 && f <= 4980) return static_cast<int>((f - 4000) / 5);  // Japan's 4.9 GHz channels
  return std::nullopt;
}

std::optional<QString> WiFiReader::band(unsigned f) {
  if (is24GHz(f)) return QStringLiteral("2.4 GHz");
  if (is5GHz(f)) return QStringLiteral("5 GHz");
  if (is6GHz(f)) return QStringLiteral("6 GHz");
  return std::nullopt;
}

std::optional<QString> WiFiReader::phyMode(std::optional<WirelessRateKind> kind, std::optional<double> rate,
                                           std::optional<unsigned> frequency) {
  if (!kind) return std::nullopt;
  switch (*kind) {
    case WirelessRateKind::eht:
      return QStringLiteral("802.11");
    case WirelessRateKind::he:
      return QStringLiteral("802.11ax");
    case WirelessRateKind::vht:
      return QStringLiteral("802.11ac");
    case WirelessRateKind::ht:
      return QStringLiteral("802.11n");
    case WirelessRateKind::legacy:
      break;
  }
  if (!frequency) return std::nullopt;
  if (is24GHz(*frequency)) {
    // 1, 2, 5.5 and 11 Mbit/s are the DSSS rates of 802.11b; the rest are OFDM rates of 802.11g.
    const bool dsss = rate && (*rate == 1.0 || *rate == 2.0 || *rate == 5.5 || *rate == 11.0);
    return dsss ? QStringLiteral("802.11b") : QStringLiteral("802.11g");
  }
  return QStringLiteral("802.11a");
}

std::optional<WiFiLink> WiFiReader::read(const std::string& root, WirelessSource* source) {
  const NetSysfs sysfs(root);
  std::optional<std::string> chosen;
  bool chosenUp = false;
  for (const auto& name : sysfs.names()) {
    if (!sysfs.isWireless(name)) continue;
    const bool up = (sysfs.attributes(name).flags.value_or(0) & IFF_UP) != 0;
    if (!chosen || (up && !chosenUp)) {
      chosen = name;
      chosenUp = up;
    }
  }
  if (!chosen) return std::nullopt;

  const KernelFiles& files = sysfs.files();
  WiFiLink link;
  link.interface = QString::fromStdString(*chosen);
  link.isPoweredOn = rfkillAllows(files, *chosen).value_or(chosenUp);

  std::optional<WirelessReading> reading;
  const auto ifindex = files.readInt("/sys/class/net/" + *chosen + "/ifindex");
  if (ifindex && *ifindex > 0 && *ifindex <= INT32_MAX) {
    if (source) {
      reading = source->read(static_cast<int>(*ifindex));
    } else {
      Nl80211Source kernel;
      reading = kernel.read(static_cast<int>(*ifindex));
    }
  }
  if (reading) {
    if (reading->station) {
      link.rssi = reading->station->signal;
      link.transmitRate = reading->station->transmitRate;
      link.phyMode = phyMode(reading->station->rateKind, reading->station->transmitRate, reading->frequency);
    }
    link.noise = reading->noise;
    if (reading->frequency) {
      link.channel = channel(*reading->frequency);
      link.band = band(*reading->frequency);
    }
  } else if (const auto table = files.readText("/proc/net/wireless")) {
    if (const auto line = ProcWireless::find(*table, *chosen)) {
      link.rssi = line->signal;
      link.noise = line->noise;
    }
  }
  return link;
}

std::optional<WiFiLink> NetworkCollector::wifi(const std::string& root, WirelessSource* source) {
  return WiFiReader::read(root, source);
}

}  // namespace kivo
