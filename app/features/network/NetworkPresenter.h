#pragma once

#include "collectors/DNSConfiguration.h"
#include "collectors/NetworkSample.h"
#include "collectors/WiFiLink.h"
#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"
#include "storage/StoredEvent.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// What the network page shows, decided without a display.
namespace NetworkPresenter {

inline constexpr int kChangeLines = 8;

// "•••" in place of an address while the privacy mask is on.
QString masked(const QString& value, bool mask);

// "<interface> · <first IPv4>" for the primary interface, else "No active connection".
QString primarySubtitle(const TelemetrySnapshot* snapshot, const DNSConfiguration& dns, bool mask);

QString kindName(InterfaceKind kind);

struct Row {
  QString label;
  QString value;
  bool operator==(const Row&) const = default;
};

// The Wi-Fi card: five rows while the radio is on with a signal, else one message.
struct WiFiCard {
  std::vector<Row> rows;
  QString message;  // empty when there are rows
};
// looked: the model has looked for a wireless interface (it does so at its first snapshot);
// after that an absent link means there is no Wi-Fi adapter at all.
WiFiCard wifiCard(const std::optional<WiFiLink>& wifi, bool looked, const ValueFormatter& format);

// Primary interface, router, DNS servers, search domains.
std::vector<Row> dnsRows(const DNSConfiguration& dns, bool mask);

enum class StatusTone { success, secondary };

struct InterfaceRow {
  QString id;                       // the kernel name
  QString title;                    // display name, else the kernel name
  std::optional<QString> subtitle;  // the kernel name under a display name
  QString kind;
  QString status;
  StatusTone statusTone = StatusTone::secondary;
  QString addresses;  // one per line, "—" without any
  QString down;
  QString up;
  QString received;
  QString sent;
  QString errors;
};
// The interfaces of the snapshot in the collector's order, inactive ones only when asked for.
std::vector<InterfaceRow> interfaceRows(const TelemetrySnapshot* snapshot, bool showInactive, bool mask,
                                        const ValueFormatter& format);

// Errors in and out, stopping at the largest count instead of wrapping round.
std::uint64_t errorTotal(std::uint64_t in, std::uint64_t out);

struct ChangeLine {
  bool online = false;  // the path after the change
  // A link that went or lost its carrier, or the path went offline.
  bool warning = false;
  // The changed interface's kind: "wifi", "cable.connector" or "network", struck through
  // ("….slash") where there is one for a link that went; "network" for the path alone.
  QString symbol;
  // "Interface added", "Interface removed", "Link down", "Link up"; "Connected" /
  // "Disconnected" for a change of the path alone.
  QString title;
  QString interfaces;  // the changed interface, else the path's, ", " between them; never masked
  QString time;
};
// The newest kChangeLines network events, newest first.
std::vector<ChangeLine> changeLines(const QList<StoredEvent>& events);

}  // namespace NetworkPresenter

}  // namespace kivo
