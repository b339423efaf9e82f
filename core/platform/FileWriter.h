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
// A path through symbolic links writes the file they lead to, except through a link that the
// kernel's rule for shared folders (below) would not follow: then nothing is written and the
// sentence names that link.
std::optional<QString> write(const QString& path, const QByteArray& bytes,
                             std::optional<mode_t> mode = std::nullopt);

// Creates the folder and any missing folder above it with the mode, whatever the umask; a
// folder that exists is left as it is. Returns the error's sentence on failure.
std::optional<QString> makeFolder(const QString& path, mode_t mode = kPrivateFolder);

// The kernel's rule for links in shared folders (fs.protected_symlinks): in a sticky folder
// that everyone may write to, a link is followed only by its owner, or when the folder's owner
// owns it too. Anyone may plant a link there, and following it would let them choose which of
// our files gets replaced. Applied whatever the system's setting says.
bool mayFollowLink(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower);

// What an errno means to a person, as a sentence ("The disk is full.").
QString reason(int error);

// Where a write can fail, so that tests can make it fail there without a full disk.
enum class Step { open, write, sync, close, commit };

// The next write fails at the step with the errno, as if the system had refused it; for tests.
void failNextWrite(Step step, int error);

}  // namespace FileWriter

}  // namespace kivo
