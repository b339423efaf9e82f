#pragma once

#include "settings/Preferences.h"

#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <sys/types.h>

namespace kivo {

// Settings kept in one JSON file (mode 0600, in a folder created 0700), rewritten whole through
// the checked writer on every change.
// A Boolean, a number and a text are the JSON value itself; data is an object with one member:
// "json" (data that is itself compact JSON text, kept readable), "data" (other UTF-8 text) or
// "base64". Entries of any other form are kept untouched across rewrites but not offered; a
// write over one moves it to "<key>.unreadable" (numbered when that name is taken).
// A file that does not parse, at start or when another program replaced it since, is moved to
// "<file>.unreadable" (numbered likewise) before it is replaced; a file that cannot be opened,
// or cannot be moved aside, is never replaced. A failed write leaves the file as it was; the
// changes live in memory and the next change (and the quit) tries again. Each failure is
// written once to standard error and stays in lastError() until a write succeeds.
// A file edited by hand while the program runs is read again before the next write: its valid
// values are kept, with the changes made here since the last write on top.
class JsonFilePreferences : public Preferences {
 public:
  // A larger file is unreadable: it is not read, and kept aside like any other.
  static constexpr qint64 kMaxFileBytes = 1024 * 1024;

  // Reads the file; never writes.
  explicit JsonFilePreferences(QString path);

  QVariant object(const QString& key) const override;
  void apply(const QList<Change>& changes) override;
  QStringList keys() const override { return values_.keys(); }

  QString saveError() const override { return saveError_; }
  void saveBeforeQuit() override;
  QVariant adoptPlainJson(const QString& key) override;
  QString readError() const override;

  const QString& path() const { return path_; }
  // The last failure to read or write the file, or empty.
  const QString& lastError() const { return lastError_; }
  // Where an unreadable file was moved before it was replaced, or empty.
  const QString& preservedCopy() const { return preservedCopy_; }

  // $XDG_CONFIG_HOME/kivo-monitor/settings.json
  static QString standardPath();
  // The separate suite of interface-test mode, erased at every launch.
  static QString testSuitePath();
  // Removes the file; true when it is gone.
  static bool erase(const QString& path);

  // The file form of one value, and back (absent for a form this version does not read).
  static QJsonValue encode(const QVariant& value);
  static QVariant decode(const QJsonValue& value);

 private:
  struct FileState {
    QString problem;          // why the file on disk cannot be taken as settings, or empty
    bool unopenable = false;  // it exists but cannot be opened
  };
  // Reads the file on disk into root (when given and the file reads).
  FileState read(QJsonObject* root) const;
  // What tells one version of the file from another: a hand edit changes at least one.
  struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modified = 0;  // nanoseconds
    qint64 changed = 0;
    bool operator==(const Identity&) const = default;
  };
  Identity identify() const;
  void load();
  // Takes the values of a file changed on disk since it was last read or written here.
  void takeOutsideEdits();
  bool save();
  bool preserveUnreadable();
  void fail(const QString& message);
  // A save that did not happen: said once, and kept as the save error.
  bool refuse(const QString& message);

  QString path_;
  QMap<QString, QVariant> values_;
  QJsonObject foreign_;
  QSet<QString> unsaved_;  // keys changed here since the last write that succeeded
  Identity seen_;
  bool unreadable_ = false;
  QString lastError_;
  QString preservedCopy_;
  QString startProblem_;  // why the file could not be read at start
  bool startUnopenable_ = false;
  QString saveError_;
};

}  // namespace kivo
