#pragma once

#include "settings/Preferences.h"

#include <QHash>

#include <memory>

namespace kivo {

// The standard domain: launch arguments given as "-KEY VALUE" pairs, read-only and seen first,
// over a stored domain that takes every write. Every argument value is a text; the reading rules
// of Preferences turn "YES" or "1" into true and "0.5" into a number.
class LaunchArgumentPreferences : public Preferences {
 public:
  // arguments as QCoreApplication::arguments() gives them (the program first); base may be null.
  LaunchArgumentPreferences(const QStringList& arguments, std::unique_ptr<Preferences> base);

  QVariant object(const QString& key) const override;
  // Writes go to the stored domain; a key given as an argument keeps reading as the argument.
  void apply(const QList<Change>& changes) override;
  QStringList keys() const override;
  QString saveError() const override { return base_ ? base_->saveError() : QString(); }
  QVariant adoptPlainJson(const QString& key) override {
    return base_ ? base_->adoptPlainJson(key) : QVariant();
  }
  QString readError() const override { return base_ ? base_->readError() : QString(); }
  void saveBeforeQuit() override {
    if (base_) base_->saveBeforeQuit();
  }

  Preferences* base() const { return base_.get(); }
  const QHash<QString, QString>& arguments() const { return arguments_; }

  // "-KEY VALUE" pairs after the program name; a later pair wins. Anything not in that form
  // ("--flag", a lone "-", a key without a value) is skipped.
  static QHash<QString, QString> parse(const QStringList& arguments);

 private:
  QHash<QString, QString> arguments_;
  std::unique_ptr<Preferences> base_;
};

}  // namespace kivo
