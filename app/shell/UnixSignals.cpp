#include "shell/UnixSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace kivo {

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int number) {
  const unsigned char byte = static_cast<unsigned char>(number);
  // Only async-signal-safe calls here.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}
}  // namespace

void UnixSignals::install() {
  if (signalPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
}

UnixSignals::UnixSignals(QObject* parent) : QObject(parent) {
  install();
  if (signalPipe[0] < 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &UnixSignals::readSignal);
}

UnixSignals::~UnixSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
  if (signalPipe[0] >= 0) ::close(signalPipe[0]);
  if (signalPipe[1] >= 0) ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void UnixSignals::readSignal() {
  unsigned char byte = 0;
  while (::read(signalPipe[0], &byte, 1) == 1) emit terminationRequested(byte);
}

}  // namespace kivo
