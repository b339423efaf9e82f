#pragma once

#include <QString>

#include <functional>

namespace kivo {

// Launch at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/<app-id>.desktop.
// "On" means the entry exists and is neither hidden nor disabled. A failed change writes one
// line to the system log and keeps its reason for the settings pane; the getter keeps
// reporting the real state.
class LaunchAtLogin {
 public:
  using LogSink = std::function<void(const QString& line)>;

  // Empty configHome: the XDG config folder at the time of each call. Empty executable:
  // this program's own path.
  explicit LaunchAtLogin(QString appId = QStringLiteral("kivo-monitor"), QString configHome = {},
                         QString executable = {}, LogSink log = {});
  virtual ~LaunchAtLogin() = default;

  virtual bool isEnabled() const;
  // Returns whether the change was made.
  virtual bool setEnabled(bool enabled);

  QString entryPath() const;
  // Why the last change failed, as a sentence; empty after one that was made.
  const QString& failure() const { return failure_; }

  // The entry's Exec value for one program path, quoted and escaped as desktop entries
  // require; empty when the path cannot be written into an entry (control characters).
  static QString execValue(const QString& program);
  // Whether the text of an entry leaves it switched on (not Hidden, not disabled).
  static bool entryEnabled(const QString& text);

 private:
  void fail(const QString& reason);

  QString appId_;
  QString configHome_;
  QString executable_;
  LogSink log_;
  QString failure_;
};

}  // namespace kivo
