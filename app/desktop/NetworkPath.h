#pragma once

#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kivo {

struct RtnetlinkState;

// One reading of the network path: whether the machine can reach beyond its links, over which
// interfaces, and whether the network is metered (expensive). Linux has no notion of a
// constrained (data-saver) path, so that flag stays false.
struct NetworkPath {
  bool online = false;
  QStringList interfaces;  // up, non-loopback interfaces with a routable address, index order
  bool expensive = false;
  bool constrained = false;

  // "online" or "offline".
  QString status() const;
  // Interface names joined by "," (empty when there are none).
  QString joinedInterfaces() const;
  // status | interfaces | expensive | constrained; a change of any part is a path change.
  QString key() const;

  // Online when a default route leaves through an up, non-loopback interface.
  static NetworkPath fromState(const RtnetlinkState& state, bool expensive);

  // The network event a change to this path records: "network.online" (info) or
  // "network.offline" (warning), with the interface names still listed.
  StoredEvent event(const QDateTime& date) const;

  bool operator==(const NetworkPath&) const = default;
};

}  // namespace kivo
