#include "desktop/NetworkPathMonitor.h"

#include "desktop/NetworkManagerMetered.h"

#include <QSocketNotifier>
#include <QTimer>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kivo {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool request(int fd, std::uint16_t type, std::uint32_t sequence) {
  struct {
    nlmsghdr header;
    rtgenmsg body;
  } message{};
  message.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtgenmsg));
  message.header.nlmsg_type = type;
  message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  message.header.nlmsg_seq = sequence;
  message.body.rtgen_family = AF_UNSPEC;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return ::sendto(fd, &message, message.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                  sizeof kernel) >= 0;
}

}  // namespace

NetworkPathMonitor::NetworkPathMonitor(QObject* parent)
    : NetworkPathMonitor(QDBusConnection::systemBus(), parent) {}

NetworkPathMonitor::NetworkPathMonitor(const QDBusConnection& systemBus, QObject* parent,
                                       std::chrono::milliseconds debounce)
    : QObject(parent),
      metered_(new NetworkManagerMetered(systemBus, this)),
      debounce_(debounce),
      timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &NetworkPathMonitor::refresh);
  connect(metered_, &NetworkManagerMetered::ready, this, &NetworkPathMonitor::report);
  connect(metered_, &NetworkManagerMetered::changed, this, &NetworkPathMonitor::report);
}

NetworkPathMonitor::~NetworkPathMonitor() {
  delete notifier_;
  if (listenFd_ >= 0) ::close(listenFd_);
}

bool NetworkPathMonitor::dump(RtnetlinkState& state, std::vector<unsigned char>& buffer) {
  Fd socket{::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)};
  if (socket.fd < 0) return false;
  // The kernel answers at once; a stuck socket must not freeze the interface.
  timeval timeout{1, 0};
  ::setsockopt(socket.fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  buffer.resize(kBufferBytes);
  state.clear();
  std::uint32_t sequence = 1;
  for (const std::uint16_t type :
       {std::uint16_t(RTM_GETLINK), std::uint16_t(RTM_GETADDR), std::uint16_t(RTM_GETROUTE)}) {
    if (!request(socket.fd, type, sequence++)) return false;
    for (;;) {
      sockaddr_nl from{};
      socklen_t fromLength = sizeof from;
      const ssize_t got = ::recvfrom(socket.fd, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      if (from.nl_pid != 0) continue;  // only the kernel speaks here
      const auto result = RtnetlinkParser::parse(buffer.data(), static_cast<std::size_t>(got), state);
      if (result.malformed || result.error != 0) return false;
      if (result.done) break;
    }
  }
  return true;
}

void NetworkPathMonitor::start() {
  if (started_) return;
  started_ = true;
  listenFd_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (listenFd_ >= 0) {
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups =
        RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      ::close(listenFd_);
      listenFd_ = -1;
    }
  }
  if (listenFd_ < 0) return;
  notifier_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &NetworkPathMonitor::onReadable);
  refresh();
}

void NetworkPathMonitor::onReadable() {
  // The messages only say that something moved; the dump after the quiet period reads it all.
  // An overrun (ENOBUFS) means the same.
  buffer_.resize(kBufferBytes);
  for (;;) {
    const ssize_t got = ::recv(listenFd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
    if (got > 0 || (got < 0 && (errno == EINTR || errno == ENOBUFS))) continue;
    break;
  }
  timer_->start(debounce_);
}

void NetworkPathMonitor::refresh() {
  RtnetlinkState fresh;
  if (!dump(fresh, buffer_)) {
    // Try again later rather than report a half-read picture.
    timer_->start(std::max(debounce_, std::chrono::milliseconds(1000)));
    return;
  }
  apply(fresh);
}

void NetworkPathMonitor::apply(const RtnetlinkState& state) {
  state_ = state;
  haveState_ = true;
  report();
}

void NetworkPathMonitor::report() {
  if (!haveState_ || !metered_->isReady()) return;
  const NetworkPath path = NetworkPath::fromState(state_, metered_->expensive());
  const bool changed = current_ && current_->key() != path.key();
  current_ = path;
  emit pathReported(path);
  if (changed) emit pathChanged(path);
}

}  // namespace kivo
