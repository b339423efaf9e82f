#include "desktop/MountObserver.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

namespace kivo {

MountObserver::MountObserver(const QString& mountTable, QObject* parent) : QObject(parent) {
  fd_ = ::open(mountTable.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Exception, this);
  connect(notifier_, &QSocketNotifier::activated, this, &MountObserver::onException);
}

MountObserver::~MountObserver() {
  delete notifier_;
  if (fd_ >= 0) ::close(fd_);
}

void MountObserver::onException() {
  // poll() itself acknowledges the change; there is nothing to read.
  if (pending_) return;
  pending_ = true;
  QTimer::singleShot(0, this, [this] {
    pending_ = false;
    emit changed();
  });
}

}  // namespace kivo
