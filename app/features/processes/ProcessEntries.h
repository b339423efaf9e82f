#pragma once

#include "desktop/ProcessActions.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

struct ProcessRecord;

// What a user can do to one process, in the context menu and the inspector's button row.
// There is no "Bring to Front": Linux desktops (Wayland in particular) give no general way to
// raise another program's window.
enum class ProcessEntry { showInFileManager, copyPID, quit, forceQuit };

namespace ProcessEntries {

// In order: Show in File Manager (with a path), Copy PID, then Quit… and Force Quit… only for the
// user's own processes other than the monitor itself (a divider goes before them); no Force Quit…
// for a process that has exited and waits for its parent.
std::vector<ProcessEntry> entries(const ProcessRecord& record, std::uint32_t uid, std::int32_t ownPID);
QString title(ProcessEntry entry);
// The object name of the entry's button in the inspector.
QString objectName(ProcessEntry entry);

// The confirmation: "Quit “name” (PID n)?", its message and its destructive button. Names in
// these texts are shortened in the middle to a bounded length.
QString confirmationTitle(ProcessAction action, const ProcessRecord& record);
QString confirmationMessage(ProcessAction action);
QString confirmButton(ProcessAction action);
// The failure box: its title and the message naming the process; `ended` when the process was
// gone by the time it was asked.
QString failureTitle();
QString failureText(const ProcessRecord& record, bool ended = false);
// A process that has exited but whose parent has not collected it (a zombie): "“name” has
// already ended", and who its parent is; parentName when the parent is in the sample.
QString uncollectedTitle(const ProcessRecord& record);
QString uncollectedText(std::int32_t parentPID, const std::optional<QString>& parentName);
// After a quit request the process ignored: "“name” is still running", offering Force Quit.
QString stillRunningTitle(const ProcessRecord& record);
QString stillRunningMessage();
// When no file manager could show an executable.
QString noFileManagerTitle();
QString noFileManagerText(const QString& path);

}  // namespace ProcessEntries

}  // namespace kivo
