#include "collectors/NetworkCollector.h"

#include "collectors/NetworkMath.h"
#include "platform/RouteTable.h"

#include <net/if.h>

namespace kivo {

namespace {
constexpr double kHardwareRefreshSeconds = 60.0;

QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

InterfaceCounters countersOf(const NetDevLine& line) {
  return InterfaceCounters{line.bytesIn,    line.bytesOut, line.packetsIn,
                           line.packetsOut, line.errorsIn, line.errorsOut};
}
}  // namespace

// What sysfs says about one interface, kept between ticks: reading it costs several opens.
struct NetworkCollector::Hardware {
  std::string name;
  QString displayName;
  InterfaceKind kind = InterfaceKind::other;
  std::optional<int> mtu;
  std::optional<std::uint64_t> speed;
  std::optional<unsigned> sysfsFlags;
  bool operUp = false;
  std::optional<unsigned> flagsAtRefresh;  // link flags when read: a change (cable in) re-reads speed
};

NetworkCollector::NetworkCollector() : NetworkCollector(Options{}) {}

NetworkCollector::NetworkCollector(Options options)
    : options_(std::move(options)),
      sysfs_(options_.root),
      netDev_(sysfs_.files().path("/proc/net/dev")),
      routes_(sysfs_.files().path("/proc/net/route")) {}

NetworkCollector::~NetworkCollector() = default;

bool NetworkCollector::hardwareIsStale(double now) const {
  if (hardware_.empty() || now - hardwareRefreshed_ > kHardwareRefreshSeconds) return true;
  for (const auto& line : lines_) {
    const Hardware* known = nullptr;
    for (const auto& entry : hardware_) {
      if (entry.name == line.name) {
        known = &entry;
        break;
      }
    }
    if (!known) return true;
    const InterfaceAddresses* addresses = findAddresses(addresses_, line.name);
    if (addresses && addresses->flags != known->flagsAtRefresh) return true;
  }
  return false;
}

void NetworkCollector::refreshHardware(double now) {
  hardware_.clear();
  for (const auto& line : lines_) {
    Hardware entry;
    entry.name = std::string(line.name);
    entry.displayName = toQString(line.name);
    const LinkAttributes link = sysfs_.attributes(entry.name);
    const std::optional<std::string_view> hardwareType =
        link.hardwareType ? std::optional<std::string_view>(*link.hardwareType) : std::nullopt;
    entry.kind = NetworkMath::kind(line.name, link.type, hardwareType);
    entry.mtu = link.mtu;
    entry.speed = link.speed;
    entry.sysfsFlags = link.flags;
    entry.operUp = link.operUp;
    if (const InterfaceAddresses* addresses = findAddresses(addresses_, line.name)) {
      entry.flagsAtRefresh = addresses->flags;
    }
    hardware_.push_back(std::move(entry));
  }
  hardwareRefreshed_ = now;
}

NetworkSample NetworkCollector::sample(double now) {
  NetworkSample sample;
  lines_.clear();
  current_.clear();
  if (netDev_.read(buffer_)) {
    NetDev::forEach(buffer_, [&](const NetDevLine& line) { lines_.push_back(line); });
  }
  bool sameInterfaces = addressedNames_.size() == lines_.size();
  for (std::size_t i = 0; sameInterfaces && i < lines_.size(); ++i)
    sameInterfaces = addressedNames_[i] == lines_[i].name;
  if (addressesStale_ || !sameInterfaces) {
    addresses_ = options_.addressReader();
    addressesStale_ = false;
    addressedNames_.resize(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) addressedNames_[i].assign(lines_[i].name);
  }
  if (hardwareIsStale(now)) refreshHardware(now);

  const double elapsed = previousTime_ > 0 ? now - previousTime_ : 0;
  sample.interfaces.reserve(lines_.size());
  for (const auto& line : lines_) {
    const Hardware* hardware = nullptr;
    for (const auto& entry : hardware_) {
      if (entry.name == line.name) {
        hardware = &entry;
        break;
      }
    }
    if (!hardware) continue;  // cannot happen: the refresh covers every line
    const InterfaceAddresses* addresses = findAddresses(addresses_, line.name);
    const InterfaceCounters counters = countersOf(line);

    NetworkInterface item;
    item.name = hardware->displayName;
    item.kind = hardware->kind;
    if (addresses && addresses->flags) {
      item.isUp = (*addresses->flags & IFF_UP) != 0;
      item.isRunning = (*addresses->flags & IFF_RUNNING) != 0;
    } else if (hardware->sysfsFlags) {
      // sysfs flags lack IFF_RUNNING; the kernel sets it for an up link whose operstate is up.
      item.isUp = (*hardware->sysfsFlags & IFF_UP) != 0;
      item.isRunning = item.isUp && hardware->operUp;
    }
    if (addresses) {
      item.ipv4 = addresses->v4;
      item.ipv6 = addresses->v6;
    }
    item.mtu = hardware->mtu;
    item.linkSpeed = hardware->speed;
    item.totalBytesIn = counters.bytesIn;
    item.totalBytesOut = counters.bytesOut;
    item.errorsIn = counters.errorsIn;
    item.errorsOut = counters.errorsOut;
    if (elapsed > 0) {
      for (const auto& [name, before] : previous_) {
        if (name != item.name) continue;
        const auto rates = NetworkMath::rates(before, counters, elapsed, 64);
        item.downRate = rates.down;
        item.upRate = rates.up;
        break;
      }
    }
    if (InterfaceKinds::countsTowardTotal(item.kind)) {
      if (item.downRate) sample.downRate = sample.downRate.value_or(0) + *item.downRate;
      if (item.upRate) sample.upRate = sample.upRate.value_or(0) + *item.upRate;
    }
    bool seen = false;
    for (const auto& [name, ignored] : current_) seen = seen || name == item.name;
    if (!seen) current_.emplace_back(item.name, counters);
    sample.interfaces.push_back(std::move(item));
  }
  std::swap(previous_, current_);
  previousTime_ = now;

  if (routes_.read(routeBuffer_)) {
    if (const auto route = RouteTable::defaultRoute(routeBuffer_))
      sample.primaryInterface = toQString(route->interface);
  }
  return sample;
}

void NetworkCollector::reset() {
  previous_.clear();
  previousTime_ = 0;
}

}  // namespace kivo
