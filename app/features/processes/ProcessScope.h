#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_set>

namespace kivo {

struct ProcessRecord;

// Which processes the table lists.
enum class ProcessScope { all, mine, apps, other };

namespace ProcessScopes {

// In the order the picker shows them: My processes, Apps, Other users, All.
const std::array<ProcessScope, 4>& pickerOrder();
QString rawValue(ProcessScope scope);
std::optional<ProcessScope> fromRawValue(const QString& raw);
// The picker's localised label.
QString title(ProcessScope scope);
// Whether a record belongs to the scope; uid is the user running the monitor.
bool contains(ProcessScope scope, const ProcessRecord& record, std::uint32_t uid,
              const std::unordered_set<std::int32_t>& apps);
// The scope the page opens on: Apps in interface-test mode, else My processes.
ProcessScope initial(bool testMode);

}  // namespace ProcessScopes

}  // namespace kivo
