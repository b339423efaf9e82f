#pragma once

#include "collectors/LatencyResult.h"
#include "metrics/ValueFormatter.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kivo {

// The page's latency test. Each run gets a thread of its own that holds only copies (never
// Qt's global pool, which the application waits for when it quits), so quitting in the middle
// of a test never waits for it. The result comes back by a queued call to this object and is
// dropped when the object (the page) is gone by then.
class LatencyRunner : public QObject {
  Q_OBJECT

 public:
  // The measurement a run performs; the real probe unless a test gives another.
  using Probe = std::function<LatencyResult(const QString& host)>;

  static constexpr int kPort = 443;
  static constexpr int kAttempts = 5;
  static constexpr double kTimeout = 3.0;

  explicit LatencyRunner(QObject* parent = nullptr);
  LatencyRunner(Probe probe, QObject* parent = nullptr);
  ~LatencyRunner() override;

  // The host as it is tested: surrounding spaces and tabs removed, line breaks kept.
  static QString trimmedHost(const QString& host);
  // Whether a run can start with this host text.
  bool canRun(const QString& host) const { return !running_ && !trimmedHost(host).isEmpty(); }
  // Starts a run with the trimmed host; does nothing while one runs or for a blank host.
  bool run(const QString& host);
  bool isRunning() const { return running_; }
  const std::optional<LatencyResult>& result() const { return result_; }

  // Runs whose thread has not finished yet, in this process (for tests and diagnostics).
  static int activeThreads();

 signals:
  void stateChanged();

 private:
  struct Mailbox;

  void start(const QString& host);
  void finish(LatencyResult result);

  Probe probe_;
  std::shared_ptr<Mailbox> mailbox_;
  bool running_ = false;
  std::optional<LatencyResult> result_;
};

// The texts of a result.
namespace LatencyText {

struct Figure {
  QString caption;
  QString value;
  bool warning = false;  // drawn in the warning colour
};
// Average, Fastest, Slowest, Failed; empty when no attempt succeeded.
std::vector<Figure> figures(const LatencyResult& result, const ValueFormatter& format);
// "No connection to <host> on port <port> succeeded."
QString failure(const LatencyResult& result);

}  // namespace LatencyText

}  // namespace kivo
