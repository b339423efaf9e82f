#pragma once

#include <QString>

namespace kivo::HomePath {

// The path with the home directory written as "~": only the home itself or a path below it
// ("/home/al" does not shorten "/home/alice"). An empty or root home shortens nothing.
QString abbreviated(const QString& path, const QString& home);
// The same against the user's own home directory.
QString abbreviated(const QString& path);

}  // namespace kivo::HomePath
