#pragma once

#include "settings/Preferences.h"

#include <QMap>

namespace kivo {

// Settings held in memory only: for tests and for a run that must leave no trace.
class MemoryPreferences : public Preferences {
 public:
  MemoryPreferences() = default;
  explicit MemoryPreferences(const QMap<QString, QVariant>& values);

  QVariant object(const QString& key) const override;
  void apply(const QList<Change>& changes) override;
  QStringList keys() const override { return values_.keys(); }

  // How many times apply() was called: tests use it to see that nothing was written.
  int writeCount() const { return writes_; }
  const QMap<QString, QVariant>& values() const { return values_; }

 private:
  QMap<QString, QVariant> values_;
  int writes_ = 0;
};

}  // namespace kivo
