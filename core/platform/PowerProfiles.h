#pragma once

#include <QDBusConnection>
#include <QString>

#include <memory>
#include <optional>

namespace kivo {

// The active power profile ("power-saver", "balanced", "performance") of the profile
// daemon on the system bus. Tests replace it with a fake.
class PowerProfileSource {
 public:
  virtual ~PowerProfileSource() = default;
  // Absent when no daemon answers.
  virtual std::optional<QString> activeProfile() = 0;
};

// power-profiles-daemon over D-Bus: the current service name first, then the older one.
// The daemon is never started just to be asked, and a call waits at most timeoutMs.
class DBusPowerProfiles final : public PowerProfileSource {
 public:
  explicit DBusPowerProfiles(QDBusConnection bus, int timeoutMs = 500);
  std::optional<QString> activeProfile() override;

  // A reader of the system bus (the connection itself is shared by Qt).
  static std::shared_ptr<PowerProfileSource> system();

 private:
  QDBusConnection bus_;
  int timeoutMs_;
};

}  // namespace kivo
