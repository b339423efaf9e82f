#include "desktop/LaunchAtLogin.h"

#include "platform/FileWriter.h"
#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <syslog.h>

namespace kivo {

namespace {

void systemLog(const QString& line) {
  const QByteArray text = line.toUtf8();
  // The line is data, never a format.
  ::syslog(LOG_USER | LOG_WARNING, "%s", text.constData());
}

bool isTrue(const QString& value) {
  return value.trimmed() == QLatin1String("true");
}
bool isFalse(const QString& value) {
  return value.trimmed() == QLatin1String("false");
}

}  // namespace

LaunchAtLogin::LaunchAtLogin(QString appId, QString configHome, QString executable, LogSink log)
    : appId_(std::move(appId)),
      configHome_(std::move(configHome)),
      executable_(std::move(executable)),
      log_(log ? std::move(log) : LogSink(systemLog)) {}

QString LaunchAtLogin::entryPath() const {
  QString home = configHome_;
  if (home.isEmpty()) home = UserFolders::configHome();
  return home + QStringLiteral("/autostart/") + appId_ + QStringLiteral(".desktop");
}

bool LaunchAtLogin::entryEnabled(const QString& text) {
  bool inMainGroup = false;
  for (const QString& raw : text.split(QLatin1Char('\n'))) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('['))) {
      inMainGroup = line == QLatin1String("[Desktop Entry]");
      continue;
    }
    if (!inMainGroup) continue;
    const auto equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) continue;
    const QString key = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1);
    if (key == QLatin1String("Hidden") && isTrue(value)) return false;
    if (key == QLatin1String("X-GNOME-Autostart-enabled") && isFalse(value)) return false;
  }
  return true;
}

bool LaunchAtLogin::isEnabled() const {
  QFile file(entryPath());
  if (!file.open(QIODevice::ReadOnly)) return false;
  // An autostart entry is a few hundred bytes; a huge file is not ours.
  const QByteArray bytes = file.read(64 * 1024);
  return entryEnabled(QString::fromUtf8(bytes));
}

QString LaunchAtLogin::execValue(const QString& program) {
  if (program.isEmpty()) return {};
  for (const QChar c : program)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) return {};
  // Quote the argument, escaping what stays special inside double quotes ...
  QString quoted = QStringLiteral("\"");
  for (const QChar c : program) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted += QLatin1Char('"');
  // ... then the field-code and string-value escapes of the entry itself.
  quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  return quoted;
}

bool LaunchAtLogin::setEnabled(bool enabled) {
  failure_.clear();
  const QString path = entryPath();
  if (!enabled) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;
    QFile file(path);
    if (!file.remove()) {
      fail(file.errorString());
      return false;
    }
    return true;
  }

  const QString program = executable_.isEmpty() ? QCoreApplication::applicationFilePath() : executable_;
  const QString exec = execValue(program);
  if (exec.isEmpty()) {
    fail(QStringLiteral("The program path cannot be written into an autostart entry: %1").arg(program));
    return false;
  }
  const QString folder = QFileInfo(path).absolutePath();
  if (const auto error = FileWriter::makeFolder(folder)) {
    fail(*error);
    return false;
  }
  QString text;
  text += QStringLiteral("[Desktop Entry]\n");
  text += QStringLiteral("Type=Application\n");
  text += QStringLiteral("Name=KIVO Monitor\n");
  text += QStringLiteral("Exec=") + exec + QLatin1Char('\n');
  text += QStringLiteral("Icon=") + appId_ + QLatin1Char('\n');
  text += QStringLiteral("Terminal=false\n");
  text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");

  // Whatever runs from this folder runs at every login: no one else may ever write the entry.
  if (const auto error = FileWriter::write(path, text.toUtf8(), FileWriter::kPrivate)) {
    fail(*error);
    return false;
  }
  return true;
}

void LaunchAtLogin::fail(const QString& reason) {
  failure_ = reason;
  log_(QStringLiteral("KIVO Monitor: launch at login change failed: ") + reason);
}

}  // namespace kivo
