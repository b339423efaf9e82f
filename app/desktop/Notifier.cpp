#include "desktop/Notifier.h"

namespace kivo {

bool notificationsAllowed(NotificationStatus status) {
  return status == NotificationStatus::authorized || status == NotificationStatus::provisional;
}

void Notifier::setStatus(NotificationStatus status) {
  if (status == status_) return;
  status_ = status;
  emit statusChanged(status);
}

}  // namespace kivo
