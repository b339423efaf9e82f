#include "platform/UserFolders.h"

#include <QFile>

#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace kivo::UserFolders {

namespace {

QString environmentPath(const char* name) {
  return QFile::decodeName(qgetenv(name));
}

QString below(const QString& folder, const QString& name) {
  return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString xdgFolder(const QString& given, const Environment& environment, const QString& fallback) {
  if (given.startsWith(u'/')) return given;
  return below(home(environment), fallback);
}

}  // namespace

Environment current() {
  return {environmentPath("HOME"), environmentPath("XDG_CONFIG_HOME"), environmentPath("XDG_DATA_HOME"),
          passwordHome};
}

QString home(const Environment& environment) {
  if (!environment.home.isEmpty()) return environment.home;
  const QString fromDatabase = environment.passwordHome ? environment.passwordHome() : QString();
  return fromDatabase.isEmpty() ? QStringLiteral("/") : fromDatabase;
}

QString configHome(const Environment& environment) {
  return xdgFolder(environment.configHome, environment, QStringLiteral(".config"));
}

QString dataHome(const Environment& environment) {
  return xdgFolder(environment.dataHome, environment, QStringLiteral(".local/share"));
}

QString home() {
  return home(current());
}
QString configHome() {
  return configHome(current());
}
QString dataHome() {
  return dataHome(current());
}

QString passwordHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (!found || !found->pw_dir) return {};
  return QFile::decodeName(found->pw_dir);
}

}  // namespace kivo::UserFolders
