#include "desktop/NetworkPath.h"

#include "analysis/StoredEvents.h"
#include "collectors/NetworkMath.h"
#include "platform/RtnetlinkParser.h"

#include <net/if.h>

#include <algorithm>

namespace kivo {

namespace {
bool usable(const RtnetlinkState::Link& link) {
  return (link.flags & IFF_UP) && (link.flags & IFF_RUNNING) && !(link.flags & IFF_LOOPBACK);
}
QString flag(bool value) {
  return value ? QStringLiteral("true") : QStringLiteral("false");
}
const NetworkLink* find(const std::vector<NetworkLink>& links, const QString& name) {
  const auto it =
      std::find_if(links.begin(), links.end(), [&](const NetworkLink& l) { return l.name == name; });
  return it == links.end() ? nullptr : &*it;
}
}  // namespace

QString NetworkPath::status() const {
  return online ? QStringLiteral("online") : QStringLiteral("offline");
}

QString NetworkPath::joinedInterfaces() const {
  return interfaces.join(QLatin1Char(','));
}

QString NetworkPath::key() const {
  return status() + QLatin1Char('|') + joinedInterfaces() + QLatin1Char('|') + flag(expensive) +
         QLatin1Char('|') + flag(constrained);
}

StoredEvent NetworkPath::event(const QDateTime& date) const {
  return StoredEvents::network(online, joinedInterfaces(), date);
}

std::vector<NetworkChange> NetworkPath::changesSince(const NetworkPath& before) const {
  using Kind = NetworkChange::Kind;
  std::vector<NetworkChange> changes;
  for (const NetworkLink& link : links) {
    const NetworkLink* was = find(before.links, link.name);
    if (!was)
      changes.push_back({Kind::added, link.name, link.kind});
    else if (was->up != link.up)
      changes.push_back({link.up ? Kind::linkUp : Kind::linkDown, link.name, link.kind});
  }
  for (const NetworkLink& link : before.links) {
    if (!find(links, link.name)) changes.push_back({Kind::removed, link.name, link.kind});
  }
  return changes;
}

QList<StoredEvent> NetworkPath::eventsSince(const NetworkPath& before, const QDateTime& date) const {
  QList<StoredEvent> events;
  for (const NetworkChange& change : changesSince(before)) {
    StoredEvent e = event(date);
    e.payload.insert(QStringLiteral("change"), NetworkChanges::rawString(change.change));
    e.payload.insert(QStringLiteral("interface"), change.interface);
    e.payload.insert(QStringLiteral("interfaceKind"), InterfaceKinds::rawString(change.kind));
    events.append(std::move(e));
  }
  if (events.isEmpty()) events.append(event(date));
  return events;
}

NetworkPath NetworkPath::fromState(const RtnetlinkState& state, bool expensive) {
  NetworkPath path;
  path.expensive = expensive;
  bool anyUsable = false;
  for (const auto& [index, link] : state.links) {
    if (link.flags & IFF_LOOPBACK) continue;
    const QString name = QString::fromUtf8(link.name.data(), static_cast<qsizetype>(link.name.size()));
    const bool up = usable(link);
    // Netlink gives the link type and a virtual link's kind; Wi-Fi is told by its name.
    const auto kind = NetworkMath::kind(
        link.name, link.type, link.kind.empty() ? std::nullopt : std::optional<std::string_view>(link.kind));
    path.links.push_back({name, kind, up});
    if (!up) continue;
    anyUsable = true;
    if (state.addressed.count(index)) path.interfaces.append(name);
    if (state.defaultRoutes.count(index)) path.online = true;
  }
  // A default route through a nexthop object names no interface here; trust it while any
  // interface is usable.
  if (state.defaultViaNexthopObject && anyUsable) path.online = true;
  return path;
}

}  // namespace kivo
