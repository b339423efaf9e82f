#include "features/network/NetworkPresenter.h"

#include "desktop/NetworkPath.h"
#include "metrics/OutsideText.h"

#include "texts/Localized.h"

#include <QLocale>

#include <limits>

namespace kivo {

namespace {
const QString kDash = QStringLiteral("—");
const QString kMask = QStringLiteral("•••");

QString joinedMasked(const QStringList& values, bool mask, const QString& separator) {
  if (values.isEmpty()) return kDash;
  QStringList shown;
  shown.reserve(values.size());
  for (const QString& value : values) shown.append(NetworkPresenter::masked(value, mask));
  return shown.join(separator);
}
}  // namespace

QString NetworkPresenter::masked(const QString& value, bool mask) {
  return mask ? kMask : value;
}

QString NetworkPresenter::primarySubtitle(const TelemetrySnapshot* snapshot, const DNSConfiguration& dns,
                                          bool mask) {
  if (dns.primaryInterface && snapshot && snapshot->network) {
    for (const NetworkInterface& interface : snapshot->network->interfaces) {
      if (interface.name != *dns.primaryInterface) continue;
      const QString address = interface.ipv4.isEmpty() ? kDash : masked(interface.ipv4.first(), mask);
      return OutsideText::visible(interface.displayName.value_or(interface.name)) + QStringLiteral(" · ") +
             address;
    }
  }
  return tr("No active connection");
}

QString NetworkPresenter::kindName(InterfaceKind kind) {
  switch (kind) {
    case InterfaceKind::wifi:
      return tr("Wi-Fi");
    case InterfaceKind::ethernet:
      return tr("Ethernet");
    case InterfaceKind::cellular:
      return tr("Cellular");
    case InterfaceKind::tunnel:
      return tr("VPN / tunnel");
    case InterfaceKind::bridge:
      return tr("Bridge");
    case InterfaceKind::loopback:
      return tr("Loopback");
    case InterfaceKind::other:
      break;
  }
  return tr("Other");
}

NetworkPresenter::WiFiCard NetworkPresenter::wifiCard(const std::optional<WiFiLink>& wifi, bool looked,
                                                      const ValueFormatter& format) {
  WiFiCard card;
  if (!wifi && looked) {
    card.message = tr("This computer has no Wi-Fi adapter.");
    return card;
  }
  if (wifi && !wifi->isPoweredOn) {
    card.message = tr("Wi-Fi is off.");
    return card;
  }
  // On Linux an unassociated radio has no RSSI at all; 0 means the same.
  if (!wifi || wifi->rssi.value_or(0) == 0) {
    card.message = tr("Not connected to a Wi-Fi network.");
    return card;
  }
  const int rssi = *wifi->rssi;
  const auto dbm = [](int value) { return QString::number(value) + QStringLiteral(" dBm"); };
  QStringList channel;
  if (wifi->channel) channel.append(QString::number(*wifi->channel));
  if (wifi->band) channel.append(*wifi->band);
  if (wifi->phyMode) channel.append(*wifi->phyMode);
  card.rows = {
      {tr("Signal (RSSI)"), dbm(rssi)},
      {tr("Noise"), wifi->noise ? dbm(*wifi->noise) : kDash},
      {tr("Signal-to-noise"),
       wifi->noise ? QString::number(rssi - *wifi->noise) + QStringLiteral(" dB") : kDash},
      {tr("Link rate"),
       wifi->transmitRate ? format.number(*wifi->transmitRate, 0) + QStringLiteral(" Mbit/s") : kDash},
      {tr("Channel"), channel.join(QStringLiteral(" · "))},
  };
  return card;
}

std::vector<NetworkPresenter::Row> NetworkPresenter::dnsRows(const DNSConfiguration& dns, bool mask) {
  return {
      {tr("Primary interface"), dns.primaryInterface.value_or(kDash)},
      {tr("Router"), dns.router ? masked(*dns.router, mask) : kDash},
      {tr("DNS servers"), joinedMasked(dns.servers, mask, QStringLiteral(", "))},
      {tr("Search domains"), joinedMasked(dns.searchDomains, mask, QStringLiteral(", "))},
  };
}

std::uint64_t NetworkPresenter::errorTotal(std::uint64_t in, std::uint64_t out) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  return in > kMax - out ? kMax : in + out;
}

std::vector<NetworkPresenter::InterfaceRow> NetworkPresenter::interfaceRows(const TelemetrySnapshot* snapshot,
                                                                            bool showInactive, bool mask,
                                                                            const ValueFormatter& format) {
  std::vector<InterfaceRow> rows;
  if (!snapshot || !snapshot->network) return rows;
  for (const NetworkInterface& interface : snapshot->network->interfaces) {
    const bool active = interface.isActive();
    if (!showInactive && !active) continue;
    InterfaceRow row;
    row.id = interface.name;
    row.title = OutsideText::visible(interface.displayName.value_or(interface.name));
    if (interface.displayName) row.subtitle = OutsideText::visible(interface.name);
    row.kind = kindName(interface.kind);
    if (active) {
      row.status = tr("Active");
      row.statusTone = StatusTone::success;
    } else {
      row.status = interface.isUp ? tr("Up, no address") : tr("Down");
    }
    QStringList addresses;
    for (const QString& address : interface.ipv4) addresses.append(masked(address, mask));
    for (const QString& address : interface.ipv6) addresses.append(masked(address, mask));
    // At most three lines are shown.
    if (addresses.size() > 3) addresses = addresses.mid(0, 3);
    row.addresses = addresses.isEmpty() ? kDash : addresses.join(QLatin1Char('\n'));
    row.down = interface.downRate ? format.rate(*interface.downRate) : kDash;
    row.up = interface.upRate ? format.rate(*interface.upRate) : kDash;
    row.received = format.bytes(static_cast<double>(interface.totalBytesIn), false);
    row.sent = format.bytes(static_cast<double>(interface.totalBytesOut), false);
    row.errors = QString::number(errorTotal(interface.errorsIn, interface.errorsOut));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<NetworkPresenter::ChangeLine> NetworkPresenter::changeLines(const QList<StoredEvent>& events) {
  using Change = NetworkChange::Kind;
  std::vector<ChangeLine> lines;
  for (const StoredEvent& event : events) {
    if (static_cast<int>(lines.size()) == kChangeLines) break;
    ChangeLine line;
    line.online = event.code == QStringLiteral("network.online");
    line.time = QLocale().toString(event.date.toLocalTime().time(), QLocale::ShortFormat);
    const auto change =
        NetworkChanges::fromRawValue(QStringView(event.payload.value(QStringLiteral("change"))));
    if (!change) {
      // Only the path moved (an address, a route, the metered flag), or an event recorded
      // before links were told apart.
      line.warning = !line.online;
      line.symbol = QStringLiteral("network");
      line.title = line.online ? tr("Connected") : tr("Disconnected");
      QStringList names =
          event.payload.value(QStringLiteral("interfaces")).split(QLatin1Char(','), Qt::SkipEmptyParts);
      for (QString& name : names) name = OutsideText::visibleCell(name.trimmed());
      line.interfaces = names.join(QStringLiteral(", "));
      lines.push_back(std::move(line));
      continue;
    }
    const bool gone = *change == Change::removed || *change == Change::linkDown;
    line.warning = gone;
    switch (*change) {
      case Change::added:
        line.title = tr("Interface added");
        break;
      case Change::removed:
        line.title = tr("Interface removed");
        break;
      case Change::linkDown:
        line.title = tr("Link down");
        break;
      case Change::linkUp:
        line.title = tr("Link up");
        break;
    }
    const auto kind =
        InterfaceKinds::fromRawValue(QStringView(event.payload.value(QStringLiteral("interfaceKind"))))
            .value_or(InterfaceKind::other);
    if (kind == InterfaceKind::wifi)
      line.symbol = gone ? QStringLiteral("wifi.slash") : QStringLiteral("wifi");
    else if (kind == InterfaceKind::ethernet)
      line.symbol = gone ? QStringLiteral("cable.connector.slash") : QStringLiteral("cable.connector");
    else
      line.symbol = QStringLiteral("network");
    line.interfaces = OutsideText::visibleCell(event.payload.value(QStringLiteral("interface")));
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kivo
