#include "features/network/LatencyRunner.h"

#include "collectors/LatencyProbe.h"
#include "texts/Localized.h"

#include <QMetaObject>

#include <mutex>
#include <system_error>
#include <thread>

namespace kivo {

namespace {
std::atomic<int> gActiveThreads{0};

bool isBlank(QChar c) {
  return c.isSpace() && c != QLatin1Char('\n') && c != QLatin1Char('\r');
}
}  // namespace

// Shared by the runner and its threads: a thread posts its result only while the runner lives,
// and the runner cannot go away while a post is being made.
struct LatencyRunner::Mailbox {
  std::mutex mutex;
  LatencyRunner* runner = nullptr;
};

LatencyRunner::LatencyRunner(QObject* parent)
    : LatencyRunner(
          [](const QString& host) { return LatencyProbe::measure(host, kPort, kAttempts, kTimeout); },
          parent) {}

LatencyRunner::LatencyRunner(Probe probe, QObject* parent)
    : QObject(parent), probe_(std::move(probe)), mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->runner = this;
}

LatencyRunner::~LatencyRunner() {
  const std::lock_guard lock(mailbox_->mutex);
  mailbox_->runner = nullptr;
}

QString LatencyRunner::trimmedHost(const QString& host) {
  qsizetype begin = 0;
  qsizetype end = host.size();
  while (begin < end && isBlank(host.at(begin))) ++begin;
  while (end > begin && isBlank(host.at(end - 1))) --end;
  return host.mid(begin, end - begin);
}

bool LatencyRunner::run(const QString& host) {
  if (!canRun(host)) return false;
  running_ = true;
  emit stateChanged();
  ++gActiveThreads;
  try {
    start(trimmedHost(host));
  } catch (const std::system_error&) {
    // No thread to be had: the button comes back rather than staying on "Testing…".
    --gActiveThreads;
    running_ = false;
    emit stateChanged();
    return false;
  }
  return true;
}

void LatencyRunner::start(const QString& host) {
  std::thread([probe = probe_, host, mailbox = mailbox_] {
    LatencyResult result = probe(host);
    {
      const std::lock_guard lock(mailbox->mutex);
      if (mailbox->runner) {
        // Queued to the runner's thread; Qt drops the call if the runner is deleted first.
        QMetaObject::invokeMethod(
            mailbox->runner,
            [runner = mailbox->runner, result = std::move(result)]() mutable {
              runner->finish(std::move(result));
            },
            Qt::QueuedConnection);
      }
    }
    --gActiveThreads;
  }).detach();
}

void LatencyRunner::finish(LatencyResult result) {
  result_ = std::move(result);
  running_ = false;
  emit stateChanged();
}

int LatencyRunner::activeThreads() {
  return gActiveThreads.load();
}

std::vector<LatencyText::Figure> LatencyText::figures(const LatencyResult& result,
                                                      const ValueFormatter& format) {
  const auto average = result.average();
  if (!average) return {};
  const auto ms = [&](double value) { return format.number(value, 1) + QStringLiteral(" ms"); };
  const int failures = result.failures();
  return {
      {tr("Average"), ms(*average), false},
      {tr("Fastest"), ms(*result.minimum()), false},
      {tr("Slowest"), ms(*result.maximum()), false},
      {tr("Failed"), QString::number(failures) + QLatin1Char('/') + QString::number(result.attempts),
       failures > 0},
  };
}

QString LatencyText::failure(const LatencyResult& result) {
  return tr("No connection to %1 on port %2 succeeded.", result.host, QString::number(result.port));
}

}  // namespace kivo
