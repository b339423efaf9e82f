#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace kivo {

struct ProcessRecord;

// Texts of the process page built from outside text (process names, users, paths), each in
// its visible form (OutsideText::visible): shown as plain text, on one line, with nothing of it
// hidden and nothing around it reordered.
namespace ProcessText {

// At most `limit` characters: a longer text keeps its start and end around "…", so a dialog
// naming it keeps a bounded width.
QString middleElided(const QString& text, int limit = 48);
// "•••" under the privacy mask, else the user name.
QString user(const ProcessRecord& record, bool mask);
// The Executable card: "•••" under the mask, "—" without a path, else the path with a leading
// home folder written "~" (only the folder itself, not /home/adam for /home/ada).
QString executable(const std::optional<QString>& path, bool mask, const QString& home);
// "PID 410 · parent 1 (systemd)"; the parent's name only when it is in the sample.
QString lineage(const ProcessRecord& record, const std::function<const ProcessRecord*(std::int32_t)>& find);

}  // namespace ProcessText

}  // namespace kivo
