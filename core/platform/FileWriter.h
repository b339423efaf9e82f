#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/types.h>

namespace kivo {

// The one way the program writes a file. The bytes go into a new, unnamed file in the same
// folder; every write, the sync to disk and the close are checked, and only then does the file
// take its name, replacing the old one in one step. On any failure the old file stays byte for
// byte, nothing new is left behind, and the caller gets one sentence naming the path and the
// reason ("Cannot write “/a/b.csv”: The disk is full.").
namespace FileWriter {

// Settings and the history: readable by their owner only.
inline constexpr mode_t kPrivate = 0600;
inline constexpr mode_t kPrivateFolder = 0700;

// With a mode, the file gets exactly that mode whatever the umask. Without one, a file that
// is replaced keeps its mode and a new one gets 0666 less the umask, as any user file does.
// A path that is a symbolic link writes the file it points to.
std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             std::optional<mode_t> mode = std::nullopt);

// Creates the folder and any missing folder above it with the mode, whatever the umask; a
// folder that exists is left as it is. Returns the error's sentence on failure.
std::optional<QString> makeFolder(const QString& path, mode_t mode = kPrivateFolder);

// What an errno means to a person, as a sentence ("The disk is full.").
QString reason(int error);

// Where a write can fail, so that tests can make it fail there without a full disk.
enum class Step { open, write, sync, close, commit };

// The next write fails at the step with the errno, as if the system had refused it; for tests.
void failNextWrite(Step step, int error);

}  // namespace FileWriter

}  // namespace kivo
