#include "app/Localized.h"

#include <QCoreApplication>

namespace kivo {

QString tr(const char* key) {
  return QCoreApplication::translate("KIVO", key);
}

}  // namespace kivo
