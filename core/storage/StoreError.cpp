#include "storage/StoreError.h"

namespace kivo {

namespace {

QString describe(StoreError::Kind kind, const QString& message) {
  const char* name = kind == StoreError::Kind::open ? "open" : "sql";
  return QStringLiteral("%1(\"%2\")").arg(QLatin1String(name), message);
}

}  // namespace

StoreError::StoreError(Kind kind, const QString& message)
    : std::runtime_error(describe(kind, message).toStdString()), kind_(kind), message_(message) {}

QString StoreError::description() const {
  return describe(kind_, message_);
}

}  // namespace kivo
