#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace kivo {

// A domain of named settings that keeps the type of each value: a Boolean, a number (double),
// a text or a data blob. Backends: a JSON file (JsonFilePreferences), memory (MemoryPreferences),
// and a read-only layer of launch arguments over another domain (LaunchArgumentPreferences).
class Preferences {
 public:
  using Change = QPair<QString, QVariant>;

  virtual ~Preferences() = default;

  // The stored value (bool, double, QString or QByteArray); an invalid QVariant when absent.
  virtual QVariant object(const QString& key) const = 0;
  // Applies every change in one write; an invalid QVariant removes its key. Other value types
  // are converted: integers to double, anything else to text; a non-finite number removes.
  virtual void apply(const QList<Change>& changes) = 0;
  virtual QStringList keys() const = 0;
  // Why the last write did not reach the disk, or empty once one has; the values stay in
  // memory either way.
  virtual QString saveError() const { return {}; }
  // A value written by hand as plain JSON (an object or an array) where the store keeps data
  // in its own wrapped form: from now on it reads as that JSON, compact, as data. Invalid
  // when there is none.
  virtual QVariant adoptPlainJson(const QString& key) {
    Q_UNUSED(key);
    return {};
  }
  // Why the stored settings could not be read at start, and where the file is, or will be,
  // kept aside; empty when they were read.
  virtual QString readError() const { return {}; }
  // At quit: changes that could not be saved are tried once more, and said on standard error
  // if they still cannot be.
  virtual void saveBeforeQuit() {}

  void set(const QString& key, const QVariant& value) { apply({{key, value}}); }
  void setBool(const QString& key, bool value) { set(key, value); }
  void setNumber(const QString& key, double value) { set(key, value); }
  void setString(const QString& key, const QString& value) { set(key, value); }
  void setData(const QString& key, const QByteArray& value) { set(key, value); }
  void remove(const QString& key) { set(key, QVariant()); }

  bool contains(const QString& key) const { return object(key).isValid(); }
  // Boolean reading: a stored true, a non-zero number, or a text that starts (after blanks,
  // a sign and leading zeros) with Y, T or a digit 1-9, as in "YES", "true", "1". Else false.
  bool boolean(const QString& key) const;
  // Number reading: a number, a Boolean as 0 or 1, or a text that is wholly a decimal number
  // (C locale). Anything else, a missing key and every non-finite number read as 0.
  double number(const QString& key) const;
  // Only a stored text; a number or data is not a text.
  std::optional<QString> string(const QString& key) const;
  std::optional<QByteArray> data(const QString& key) const;

  // The reading rules on their own, for values held elsewhere.
  static bool booleanValue(const QVariant& value);
  static double numberValue(const QVariant& value);
  // Brings a value to one of the four kept types; invalid stays invalid.
  static QVariant normalized(const QVariant& value);
  // Where something unreadable named name is kept: "<name>.unreadable", else the first free
  // "<name>.unreadable.N", so that a second one never overwrites the first.
  static QString unreadableName(const QString& name, const std::function<bool(const QString&)>& taken);
};

}  // namespace kivo
