#pragma once

#include "desktop/ProcessActions.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kivo {

struct ProcessRecord;

// What a user can do to one process, in the context menu and the inspector's button row.
// There is no "Bring to Front": Linux desktops (Wayland in particular) give no general way to
// raise another program's window.
enum class ProcessEntry { showInFileManager, copyPID, quit, forceQuit };

namespace ProcessEntries {

// In order: Show in File Manager (with a path), Copy PID, then Quit… and Force Quit… only for the
// user's own processes other than the monitor itself (a divider goes before them).
std::vector<ProcessEntry> entries(const ProcessRecord& record, std::uint32_t uid, std::int32_t ownPID);
QString title(ProcessEntry entry);
// The object name of the entry's button in the inspector.
QString objectName(ProcessEntry entry);

// The confirmation: "Quit “name” (PID n)?", its message and its destructive button.
QString confirmationTitle(ProcessAction action, const ProcessRecord& record);
QString confirmationMessage(ProcessAction action);
QString confirmButton(ProcessAction action);
// The failure box: its title and the message naming the process.
QString failureTitle();
QString failureText(const ProcessRecord& record);

}  // namespace ProcessEntries

}  // namespace kivo
