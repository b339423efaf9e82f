#include "platform/TcpHandshake.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kivo::TcpHandshake {

namespace {

// Longest single wait, in seconds; longer timeouts are waited out in steps.
constexpr double kLongestWait = 1.0;

double rawSeconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Address {
  sockaddr_storage storage{};
  socklen_t length = 0;
  int family = 0;
};

std::vector<Address> copyAddresses(const addrinfo* list) {
  std::vector<Address> addresses;
  for (const addrinfo* item = list; item; item = item->ai_next) {
    if (!item->ai_addr || item->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Address address;
    std::memcpy(&address.storage, item->ai_addr, item->ai_addrlen);
    address.length = item->ai_addrlen;
    address.family = item->ai_family;
    addresses.push_back(address);
  }
  return addresses;
}

// getaddrinfo has no timeout; a slow lookup runs on its own thread and is abandoned at the
// deadline (the thread finishes on its own and frees what it got).
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::vector<Address> addresses;
};

std::vector<Address> resolve(const std::string& host, std::uint16_t port, double deadline) {
  const std::string service = std::to_string(port);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
    auto addresses = copyAddresses(list);
    ::freeaddrinfo(list);
    return addresses;
  }
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host, service] {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::vector<Address> addresses;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) == 0) {
      addresses = copyAddresses(found);
      ::freeaddrinfo(found);
    }
    std::lock_guard lock(lookup->mutex);
    lookup->addresses = std::move(addresses);
    lookup->finished = true;
    lookup->done.notify_all();
  }).detach();
  std::unique_lock lock(lookup->mutex);
  while (!lookup->finished) {
    const double left = deadline - rawSeconds();
    if (!(left > 0)) break;
    // In steps of at most a second: a huge or infinite timeout cannot overflow the clock.
    lookup->done.wait_for(lock, std::chrono::duration<double>(std::min(left, kLongestWait)));
  }
  return lookup->finished ? lookup->addresses : std::vector<Address>{};
}

enum class Outcome { connected, failed, timedOut };

Outcome tryAddress(const Address& address, double deadline) {
  const int fd = ::socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Outcome::failed;
  Outcome outcome = Outcome::failed;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0) {
    outcome = Outcome::connected;
  } else if (errno == EINPROGRESS) {
    for (;;) {
      const double left = deadline - rawSeconds();
      if (left <= 0) {
        outcome = Outcome::timedOut;
        break;
      }
      pollfd item{fd, POLLOUT, 0};
      const int ready = ::poll(&item, 1, static_cast<int>(std::ceil(std::min(left, kLongestWait) * 1000.0)));
      if (ready < 0 && errno == EINTR) continue;
      if (ready == 0) continue;  // the loop re-checks the deadline
      if (ready < 0) break;
      int error = 0;
      socklen_t length = sizeof error;
      if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
        outcome = Outcome::connected;
      break;
    }
  }
  ::close(fd);
  return outcome;
}

}  // namespace

std::optional<double> connect(const std::string& host, std::uint16_t port, double timeout) {
  const double start = rawSeconds();
  if (host.empty() || !(timeout > 0)) return std::nullopt;
  const double deadline = start + timeout;
  for (const Address& address : resolve(host, port, deadline)) {
    switch (tryAddress(address, deadline)) {
      case Outcome::connected:
        return (rawSeconds() - start) * 1000.0;
      case Outcome::timedOut:
        return std::nullopt;
      case Outcome::failed:
        break;  // refused or unreachable: the next address, at once
    }
  }
  return std::nullopt;
}

}  // namespace kivo::TcpHandshake
