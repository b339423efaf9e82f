#include "settings/MemoryPreferences.h"

namespace kivo {

MemoryPreferences::MemoryPreferences(const QMap<QString, QVariant>& values) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    const QVariant value = normalized(it.value());
    if (value.isValid()) values_.insert(it.key(), value);
  }
}

QVariant MemoryPreferences::object(const QString& key) const {
  return values_.value(key);
}

void MemoryPreferences::apply(const QList<Change>& changes) {
  ++writes_;
  for (const auto& [key, raw] : changes) {
    const QVariant value = normalized(raw);
    if (value.isValid()) {
      values_.insert(key, value);
    } else {
      values_.remove(key);
    }
  }
}

}  // namespace kivo
