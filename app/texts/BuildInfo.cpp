#include "texts/BuildInfo.h"

#ifndef KIVO_VERSION
#define KIVO_VERSION "0.0.0"
#endif
#ifndef KIVO_BUILD_NUMBER
#define KIVO_BUILD_NUMBER "—"
#endif

namespace kivo::BuildInfo {

QString version() {
  return QStringLiteral(KIVO_VERSION);
}

QString buildNumber() {
  return QString::fromUtf8(KIVO_BUILD_NUMBER);
}

}  // namespace kivo::BuildInfo
