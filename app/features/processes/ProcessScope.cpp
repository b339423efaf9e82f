#include "features/processes/ProcessScope.h"

#include "collectors/ProcessSample.h"
#include "texts/Localized.h"

namespace kivo::ProcessScopes {

const std::array<ProcessScope, 4>& pickerOrder() {
  static const std::array<ProcessScope, 4> order = {ProcessScope::mine, ProcessScope::apps,
                                                    ProcessScope::other, ProcessScope::all};
  return order;
}

QString rawValue(ProcessScope scope) {
  switch (scope) {
    case ProcessScope::all:
      return QStringLiteral("all");
    case ProcessScope::mine:
      return QStringLiteral("mine");
    case ProcessScope::apps:
      return QStringLiteral("apps");
    case ProcessScope::other:
      return QStringLiteral("other");
  }
  return {};
}

std::optional<ProcessScope> fromRawValue(const QString& raw) {
  for (ProcessScope scope : pickerOrder()) {
    if (rawValue(scope) == raw) return scope;
  }
  return std::nullopt;
}

QString title(ProcessScope scope) {
  switch (scope) {
    case ProcessScope::all:
      return tr("All");
    case ProcessScope::mine:
      return tr("My processes");
    case ProcessScope::apps:
      return tr("Apps");
    case ProcessScope::other:
      return tr("Other users");
  }
  return {};
}

bool contains(ProcessScope scope, const ProcessRecord& record, std::uint32_t uid,
              const std::unordered_set<std::int32_t>& apps) {
  switch (scope) {
    case ProcessScope::all:
      return true;
    case ProcessScope::mine:
      return record.uid == uid;
    case ProcessScope::apps:
      return apps.contains(record.pid);
    case ProcessScope::other:
      return record.uid != uid;
  }
  return false;
}

ProcessScope initial(bool testMode) {
  return testMode ? ProcessScope::apps : ProcessScope::mine;
}

}  // namespace kivo::ProcessScopes
