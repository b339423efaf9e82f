#include "texts/Localized.h"

#include <QCoreApplication>

namespace kivo {

QString tr(const char* key) {
  return QCoreApplication::translate("KIVO", key);
}

QString translated(const QString& key) {
  const QByteArray utf8 = key.toUtf8();
  return QCoreApplication::translate("KIVO", utf8.constData());
}

}  // namespace kivo
