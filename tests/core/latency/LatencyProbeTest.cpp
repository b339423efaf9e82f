#include "collectors/LatencyProbe.h"
#include "collectors/NetworkCollector.h"
#include "platform/TcpHandshake.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <thread>
#include <vector>

using namespace kivo;
using Clock = std::chrono::steady_clock;

namespace {

// A TCP socket on 127.0.0.1 with a port of the system's choosing.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(int backlog) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    if (backlog >= 0) ::listen(fd_, backlog);
  }
  ~LoopbackSocket() { ::close(fd_); }
  int fd() const { return fd_; }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Accepts every connection and records how many bytes each one carried before it closed.
class Listener {
 public:
  Listener() : socket_(16) {
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd item{socket_.fd(), POLLIN, 0};
        if (::poll(&item, 1, 20) <= 0) continue;
        const int client = ::accept(socket_.fd(), nullptr, nullptr);
        if (client < 0) continue;
        char buffer[64];
        long total = 0;
        pollfd readable{client, POLLIN, 0};
        while (::poll(&readable, 1, 2000) > 0) {
          const ssize_t n = ::read(client, buffer, sizeof buffer);
          if (n <= 0) break;
          total += n;
        }
        ::close(client);
        bytes_ += total;
        ++accepted_;
      }
    });
  }
  ~Listener() {
    stop_ = true;
    thread_.join();
  }
  int port() const { return socket_.port(); }
  int accepted() const { return accepted_; }
  long bytes() const { return bytes_; }

 private:
  LoopbackSocket socket_;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<long> bytes_{0};
  std::thread thread_;
};

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

TEST(LatencyProbe, ListenerGivesOneSamplePerAttemptAndReceivesNothing) {
  Listener listener;
  const LatencyResult result =
      LatencyProbe::measure("127.0.0.1", listener.port(), 3, 3.0, std::chrono::milliseconds(10));
  EXPECT_EQ(result.host, "127.0.0.1");
  EXPECT_EQ(result.port, listener.port());
  EXPECT_EQ(result.attempts, 3);
  ASSERT_EQ(result.samples.size(), 3u);
  EXPECT_EQ(result.failures(), 0);
  for (double ms : result.samples) {
    EXPECT_GT(ms, 0.0);
    EXPECT_LT(ms, 3000.0);
  }
  for (int i = 0; i < 200 && listener.accepted() < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(listener.accepted(), 3);
  EXPECT_EQ(listener.bytes(), 0) << "the probe only connects";
}

TEST(LatencyProbe, AcceptsAnIPv6LiteralInBrackets) {
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) ::close(fd);
    GTEST_SKIP() << "no IPv6 loopback here";
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::listen(fd, 4);
  const LatencyResult result =
      LatencyProbe::measure("[::1]", ntohs(address.sin6_port), 1, 3.0, std::chrono::milliseconds(0));
  ::close(fd);
  EXPECT_EQ(result.samples.size(), 1u);
}

TEST(LatencyProbe, ARefusedPortFailsAtOnce) {
  const LoopbackSocket bound(-1);  // bound, not listening: the kernel answers with a reset
  const auto start = Clock::now();
  const LatencyResult result =
      LatencyProbe::measure("127.0.0.1", bound.port(), 2, 10.0, std::chrono::milliseconds(0));
  EXPECT_LT(secondsSince(start), 5.0) << "not after the 10 s timeout";
  EXPECT_EQ(result.attempts, 2);
  EXPECT_TRUE(result.samples.empty());
  EXPECT_EQ(result.failures(), 2);
  EXPECT_FALSE(result.average());
}

TEST(LatencyProbe, ASilentPeerTimesOut) {
  // A listener whose accept queue is full drops further handshakes: the connector waits.
  LoopbackSocket full(0);
  std::vector<int> fillers;
  bool waiting = false;
  for (int i = 0; i < 8 && !waiting; ++i) {
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(full.port()));
    ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    pollfd item{client, POLLOUT, 0};
    waiting = ::poll(&item, 1, 300) == 0;
    fillers.push_back(client);
  }
  if (!waiting) {
    for (int fd : fillers) ::close(fd);
    GTEST_SKIP() << "this kernel accepts every handshake";
  }
  const auto start = Clock::now();
  const auto ms = TcpHandshake::connect("127.0.0.1", static_cast<std::uint16_t>(full.port()), 0.3);
  const double took = secondsSince(start);
  for (int fd : fillers) ::close(fd);
  EXPECT_FALSE(ms);
  EXPECT_GE(took, 0.29);
  EXPECT_LT(took, 2.5);
}

TEST(LatencyProbe, PausesAfterEveryAttemptEvenWhenAllFail) {
  const LoopbackSocket bound(-1);
  const auto start = Clock::now();
  const LatencyResult result = LatencyProbe::measure("127.0.0.1", bound.port(), 5, 3.0);
  EXPECT_GE(secondsSince(start), 0.75) << "5 x 150 ms";
  EXPECT_EQ(result.failures(), 5);
}

TEST(LatencyProbe, NoAttemptsMeansNoConnection) {
  Listener listener;
  const LatencyResult result = LatencyProbe::measure("127.0.0.1", listener.port(), 0, 3.0);
  EXPECT_EQ(result, (LatencyResult{"127.0.0.1", listener.port(), {}, 0}));
  EXPECT_EQ(LatencyProbe::measure("127.0.0.1", listener.port(), -3, 3.0).attempts, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(listener.accepted(), 0);
}

TEST(LatencyProbe, PortsAreClampedButReportedAsGiven) {
  EXPECT_EQ(LatencyProbe::clampPort(70000), 65535);
  EXPECT_EQ(LatencyProbe::clampPort(-1), 0);
  EXPECT_EQ(LatencyProbe::clampPort(443), 443);
  const LatencyResult result = LatencyProbe::measure("127.0.0.1", -1, 1, 1.0, std::chrono::milliseconds(0));
  EXPECT_EQ(result.port, -1);
  EXPECT_TRUE(result.samples.empty()) << "port 0 cannot be connected to";
}

TEST(LatencyProbe, AnEmptyHostFails) {
  const LatencyResult result = LatencyProbe::measure("  ", 443, 1, 1.0, std::chrono::milliseconds(0));
  EXPECT_EQ(result.host, "  ");
  EXPECT_EQ(result.failures(), 1);
}

TEST(LatencyProbe, AHugeOrInfiniteTimeoutStillConnects) {
  // Such a timeout once overflowed the poll argument (undefined behaviour).
  Listener listener;
  for (const double timeout : {1e12, std::numeric_limits<double>::infinity()}) {
    const auto ms = TcpHandshake::connect("127.0.0.1", static_cast<std::uint16_t>(listener.port()), timeout);
    ASSERT_TRUE(ms) << timeout;
    EXPECT_GT(*ms, 0.0);
  }
}
