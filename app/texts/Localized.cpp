#include "texts/Localized.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

namespace kivo {

QString tr(const char* key) {
  return QCoreApplication::translate("KIVO", key);
}

QString translated(const QString& key) {
  const QByteArray utf8 = key.toUtf8();
  return QCoreApplication::translate("KIVO", utf8.constData());
}

QString trCount(const char* one, const char* many, qint64 n) {
  // Qt's %n takes an int; a count beyond it is clamped rather than wrapped.
  const int clamped = static_cast<int>(std::clamp<qint64>(n, INT_MIN, INT_MAX));
  return QCoreApplication::translate("KIVO", n == 1 ? one : many, nullptr, clamped);
}

}  // namespace kivo
