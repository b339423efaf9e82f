#include "settings/LaunchArgumentPreferences.h"

#include <QSet>

namespace kivo {

LaunchArgumentPreferences::LaunchArgumentPreferences(const QStringList& arguments,
                                                     std::unique_ptr<Preferences> base)
    : arguments_(parse(arguments)), base_(std::move(base)) {}

QHash<QString, QString> LaunchArgumentPreferences::parse(const QStringList& arguments) {
  QHash<QString, QString> pairs;
  qsizetype i = 1;
  while (i < arguments.size()) {
    const QString& argument = arguments.at(i);
    const bool isKey = argument.size() >= 2 && argument.at(0) == u'-' && argument.at(1) != u'-';
    if (!isKey || i + 1 >= arguments.size()) {
      ++i;
      continue;
    }
    pairs.insert(argument.mid(1), arguments.at(i + 1));
    i += 2;
  }
  return pairs;
}

QVariant LaunchArgumentPreferences::object(const QString& key) const {
  const auto it = arguments_.constFind(key);
  if (it != arguments_.constEnd()) return *it;
  return base_ ? base_->object(key) : QVariant();
}

void LaunchArgumentPreferences::apply(const QList<Change>& changes) {
  if (base_) base_->apply(changes);
}

QStringList LaunchArgumentPreferences::keys() const {
  QStringList all = base_ ? base_->keys() : QStringList();
  const QSet<QString> stored(all.begin(), all.end());
  for (auto it = arguments_.begin(); it != arguments_.end(); ++it) {
    if (!stored.contains(it.key())) all.append(it.key());
  }
  all.sort();
  return all;
}

}  // namespace kivo
