#pragma once

#include "desktop/NetworkPath.h"
#include "platform/RtnetlinkParser.h"

#include <QDBusConnection>
#include <QObject>

#include <chrono>
#include <optional>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace kivo {

class NetworkManagerMetered;

// Watches links, addresses and routes through an rtnetlink socket and reads the whole picture
// again (a dump) a short while after the last change. The first path is only the baseline;
// after it, every path that differs from the previous one is a change.
class NetworkPathMonitor : public QObject {
  Q_OBJECT
 public:
  explicit NetworkPathMonitor(QObject* parent = nullptr);
  NetworkPathMonitor(const QDBusConnection& systemBus, QObject* parent = nullptr,
                     std::chrono::milliseconds debounce = std::chrono::milliseconds(250));
  ~NetworkPathMonitor() override;

  // Opens the socket and takes the baseline (once NetworkManager has answered, if it is there).
  void start();
  // The kernel's routing socket could be opened.
  bool isAvailable() const { return listenFd_ >= 0; }
  const std::optional<NetworkPath>& current() const { return current_; }

  // One full dump of links, addresses and routes; false when netlink is unusable.
  static bool dump(RtnetlinkState& state, std::vector<unsigned char>& buffer);
  // Takes a freshly read state and reports the path it gives (what each dump ends in).
  void apply(const RtnetlinkState& state);

 signals:
  // Every path read, the baseline included.
  void pathReported(const kivo::NetworkPath& path);
  // A path that differs from the one before it; never the baseline.
  void pathChanged(const kivo::NetworkPath& path);

 private:
  void onReadable();
  void refresh();
  void report();

  NetworkManagerMetered* metered_;
  std::chrono::milliseconds debounce_;
  int listenFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* timer_ = nullptr;
  bool started_ = false;
  RtnetlinkState state_;
  bool haveState_ = false;
  std::vector<unsigned char> buffer_;
  std::optional<NetworkPath> current_;
};

}  // namespace kivo
