#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kivo {

// Mounts and unmounts: the kernel marks the mount table (/proc/self/mountinfo) with an
// exceptional condition whenever it changes. Changes seen in one pass of the event loop are
// reported once.
class MountObserver : public QObject {
  Q_OBJECT
 public:
  explicit MountObserver(const QString& mountTable = QStringLiteral("/proc/self/mountinfo"),
                         QObject* parent = nullptr);
  ~MountObserver() override;

  bool isAvailable() const { return fd_ >= 0; }

 signals:
  void changed();

 private:
  void onException();

  int fd_ = -1;
  bool pending_ = false;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kivo
