#pragma once

#include <QString>

namespace kivo {

// A text shown to a person: the English text is the key, looked up in the loaded translations
// at the time of the call; a key without a translation reads as itself. Placeholders are Qt's
// %1, %2 ..., filled in one pass, so a filled-in value that holds "%2" is left alone.
QString tr(const char* key);
// The same lookup for a key held at run time (a metric's catalogue name).
QString translated(const QString& key);

// A count with its unit in the form the number asks for ("1 rule", "2 rules"): `one` and `many`
// hold %n; a translation may give more forms.
QString trCount(const char* one, const char* many, qint64 n);

template <typename... Args>
QString tr(const char* key, const Args&... args) {
  return tr(key).arg(args...);
}

}  // namespace kivo
