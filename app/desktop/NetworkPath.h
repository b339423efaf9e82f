#pragma once

#include "collectors/NetworkSample.h"
#include "metrics/RawValueTable.h"
#include "storage/StoredEvent.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace kivo {

struct RtnetlinkState;

// One network link as the path sees it.
struct NetworkLink {
  QString name;
  InterfaceKind kind = InterfaceKind::other;
  bool up = false;  // up with a carrier
  bool operator==(const NetworkLink&) const = default;
};

// What happened to one link between two paths.
struct NetworkChange {
  enum class Kind { added, removed, linkDown, linkUp };
  Kind change = Kind::added;
  QString interface;
  InterfaceKind kind = InterfaceKind::other;
  bool operator==(const NetworkChange&) const = default;
};

// One reading of the network path: whether the machine can reach beyond its links, over which
// interfaces, and whether the network is metered (expensive). Linux has no notion of a
// constrained (data-saver) path, so that flag stays false.
struct NetworkPath {
  bool online = false;
  QStringList interfaces;  // up, non-loopback interfaces with a routable address, index order
  bool expensive = false;
  bool constrained = false;
  std::vector<NetworkLink> links;  // every non-loopback link, index order

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
  // Links that came, went, lost or regained their carrier since `before`: this path's links in
  // order, then the ones that went.
  std::vector<NetworkChange> changesSince(const NetworkPath& before) const;
  // The events of a change from `before`: event(date) for each changed link, naming it, its
  // kind and what happened to it; event(date) alone when only addresses, routes or the metered
  // flag moved.
  QList<StoredEvent> eventsSince(const NetworkPath& before, const QDateTime& date) const;

  bool operator==(const NetworkPath&) const = default;
};

// The payload's words for a link change.
inline constexpr auto kNetworkChangeRawValues =
    rawValueTable<NetworkChange::Kind>({{NetworkChange::Kind::added, "added"},
                                        {NetworkChange::Kind::removed, "removed"},
                                        {NetworkChange::Kind::linkDown, "linkDown"},
                                        {NetworkChange::Kind::linkUp, "linkUp"}});
struct NetworkChanges : RawValueLookups<kNetworkChangeRawValues> {};

}  // namespace kivo
