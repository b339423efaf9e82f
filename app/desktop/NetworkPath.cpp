#include "desktop/NetworkPath.h"

#include "analysis/StoredEvents.h"
#include "platform/RtnetlinkParser.h"

#include <net/if.h>

namespace kivo {

namespace {
bool usable(const RtnetlinkState::Link& link) {
  return (link.flags & IFF_UP) && (link.flags & IFF_RUNNING) && !(link.flags & IFF_LOOPBACK);
}
QString flag(bool value) {
  return value ? QStringLiteral("true") : QStringLiteral("false");
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

NetworkPath NetworkPath::fromState(const RtnetlinkState& state, bool expensive) {
  NetworkPath path;
  path.expensive = expensive;
  bool anyUsable = false;
  for (const auto& [index, link] : state.links) {
    if (!usable(link)) continue;
    anyUsable = true;
    if (state.addressed.count(index))
      path.interfaces.append(QString::fromUtf8(link.name.data(), static_cast<qsizetype>(link.name.size())));
    if (state.defaultRoutes.count(index)) path.online = true;
  }
  // A default route through a nexthop object names no interface here; trust it while any
  // interface is usable.
  if (state.defaultViaNexthopObject && anyUsable) path.online = true;
  return path;
}

}  // namespace kivo
