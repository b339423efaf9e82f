#include "desktop/Notifier.h"

#include "analysis/AlertTransition.h"
#include "texts/AlertText.h"

namespace kivo {

bool notificationsAllowed(NotificationStatus status) {
  return status == NotificationStatus::authorized || status == NotificationStatus::provisional;
}

void Notifier::notify(const AlertTransition& transition, const QString& title, const QString& body) {
  if (transition.kind != AlertTransition::Kind::fired) return;
  post(transition.rule.id, title, body, transition.rule.severity == Severity::critical);
}

void Notifier::notify(const AlertTransition& transition, const ValueFormatter& formatter) {
  if (transition.kind != AlertTransition::Kind::fired) return;
  notify(transition, AlertText::title(transition.rule), AlertText::body(transition, formatter));
}

void Notifier::setStatus(NotificationStatus status) {
  if (status == status_) return;
  status_ = status;
  emit statusChanged(status);
}

}  // namespace kivo
