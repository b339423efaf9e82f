#pragma once

#include <QObject>
#include <QString>
#include <QUuid>

namespace kivo {

struct AlertTransition;
class ValueFormatter;

// Permission to post notifications, in the words the model and the alerts page use. Linux has no
// prompt: the notification service being there is the permission.
enum class NotificationStatus { notDetermined, denied, authorized, provisional, ephemeral };

// Whether a status lets notifications through (authorized or provisional).
bool notificationsAllowed(NotificationStatus status);

// Posts one notification per alert rule; a later one for the same rule replaces it.
class Notifier : public QObject {
  Q_OBJECT
 public:
  explicit Notifier(QObject* parent = nullptr) : QObject(parent) {}

  NotificationStatus status() const { return status_; }
  // Reads the permission again; statusRefreshed() follows once it is known.
  virtual void refreshStatus() = 0;
  // Posts at once; failures are not reported. critical: the rule's severity is critical.
  virtual void post(const QUuid& rule, const QString& title, const QString& body, bool critical) = 0;
  // A fired transition with its worded title and body; a resolution posts nothing.
  void notify(const AlertTransition& transition, const QString& title, const QString& body);
  // The same, worded by AlertText: the metric and direction as title, value and condition as body.
  void notify(const AlertTransition& transition, const ValueFormatter& formatter);

 signals:
  void statusChanged(kivo::NotificationStatus status);
  void statusRefreshed();

 protected:
  void setStatus(NotificationStatus status);

 private:
  NotificationStatus status_ = NotificationStatus::notDetermined;
};

}  // namespace kivo
