#include "texts/HomePath.h"

#include <QDir>

namespace kivo {

QString HomePath::abbreviated(const QString& path, const QString& home) {
  QString base = home;
  while (base.size() > 1 && base.endsWith(QLatin1Char('/'))) base.chop(1);
  if (base.isEmpty() || base == QStringLiteral("/")) return path;
  if (path == base) return QStringLiteral("~");
  if (path.startsWith(base) && path.at(base.size()) == QLatin1Char('/')) {
    return QStringLiteral("~") + path.mid(base.size());
  }
  return path;
}

QString HomePath::abbreviated(const QString& path) {
  return abbreviated(path, QDir::homePath());
}

}  // namespace kivo
