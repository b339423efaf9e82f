#include "model/AlertNotifications.h"

#include "settings/AppSettings.h"

namespace kivo {

AlertNotifications::AlertNotifications(AppSettings& settings, const ValueFormatter& format, QObject* parent)
    : QObject(parent), settings_(settings), format_(format) {}

void AlertNotifications::setNotifier(Notifier* notifier) {
  if (notifier == notifier_) return;
  const NotificationStatus before = status();
  if (notifier_) disconnect(notifier_, nullptr, this, nullptr);
  notifier_ = notifier;
  if (notifier_) connect(notifier_, &Notifier::statusChanged, this, &AlertNotifications::statusChanged);
  if (status() != before) emit statusChanged();
}

NotificationStatus AlertNotifications::status() const {
  return notifier_ ? notifier_->status() : NotificationStatus::notDetermined;
}

void AlertNotifications::refreshStatus() {
  if (notifier_) notifier_->refreshStatus();
}

void AlertNotifications::post(const std::vector<AlertTransition>& transitions) {
  if (!settings_.notifications() || !notifier_ || !notificationsAllowed(notifier_->status())) return;
  for (const AlertTransition& transition : transitions) {
    if (transition.kind == AlertTransition::Kind::fired) notifier_->notify(transition, format_);
  }
}

void AlertNotifications::enable() {
  if (!notifier_) {
    settings_.setNotifications(false);
    return;
  }
  // Linux asks nobody: the notification service being there is the permission.
  connect(
      notifier_, &Notifier::statusRefreshed, this,
      [this] { settings_.setNotifications(notificationsAllowed(status())); }, Qt::SingleShotConnection);
  notifier_->refreshStatus();
}

}  // namespace kivo
