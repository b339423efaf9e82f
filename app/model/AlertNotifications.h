#pragma once

#include "analysis/AlertTransition.h"
#include "desktop/Notifier.h"

#include <QObject>

#include <vector>

namespace kivo {

class AppSettings;
class ValueFormatter;

// Posts fired alerts through the desktop's notifier while the setting is on and the desktop lets
// notifications through, and tracks that permission.
class AlertNotifications : public QObject {
  Q_OBJECT
 public:
  // Both must outlive this object.
  AlertNotifications(AppSettings& settings, const ValueFormatter& format, QObject* parent = nullptr);

  // Where fired alerts are posted; null posts nothing. The notifier must outlive this object.
  void setNotifier(Notifier* notifier);
  Notifier* notifier() const { return notifier_; }
  // The permission as the notifier last read it; notDetermined without one.
  NotificationStatus status() const;
  // Reads the permission again (nothing without a notifier).
  void refreshStatus();
  // One notification per fired transition; resolutions post nothing.
  void post(const std::vector<AlertTransition>& transitions);
  // The user turned notifications on: the permission is read again and the setting ends up on
  // only when notifications are allowed.
  void enable();

 signals:
  void statusChanged();

 private:
  AppSettings& settings_;
  const ValueFormatter& format_;
  Notifier* notifier_ = nullptr;
};

}  // namespace kivo
