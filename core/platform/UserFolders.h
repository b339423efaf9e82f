#pragma once

#include <QString>

#include <functional>

namespace kivo {

// Where this user's files belong, by the XDG base directory rules: $XDG_CONFIG_HOME and
// $XDG_DATA_HOME when they hold an absolute path (a relative one is ignored, as the rules
// say), else ~/.config and ~/.local/share. The home folder is $HOME, or this user's entry
// in the password database when HOME is unset or empty (a session started by a service
// manager may have none), so nothing lands under "//.local".
namespace UserFolders {

struct Environment {
  QString home;        // $HOME; empty when unset
  QString configHome;  // $XDG_CONFIG_HOME
  QString dataHome;    // $XDG_DATA_HOME
  // Asked only when home is empty; empty when the database has no home for this user.
  std::function<QString()> passwordHome;
};

// The environment of this process.
Environment current();

QString home(const Environment& environment);
QString configHome(const Environment& environment);
QString dataHome(const Environment& environment);

QString home();
QString configHome();
QString dataHome();

// The home folder of this process's user in the password database, or empty.
QString passwordHome();

}  // namespace UserFolders

}  // namespace kivo
