#pragma once

#include "collectors/SystemInfo.h"
#include "metrics/ValueFormatter.h"
#include "scheduler/TelemetrySnapshot.h"
#include "storage/StoreStatistics.h"

#include <QString>

#include <optional>

namespace kivo {

// The figures the History and About panes show, worded without a display.
namespace SettingsFacts {

// The Storage section's rows: the statistics when present; the error is why the history could
// not be opened or, while it is open, why its latest flush failed (shown beside the statistics).
struct Storage {
  bool statistics = false;
  QString databaseSize;           // file-style bytes
  QString storedSamples;          // "raw · minute · hour", grouped
  std::optional<QString> oldest;  // only when an hour summary exists
  std::optional<QString> error;   // "The history database could not be opened: …" or the write failure
  // Why "Erase All History…" is off: without an open history there is nothing it could erase.
  std::optional<QString> eraseUnavailable;
};
Storage storage(const std::optional<StoreStatistics>& statistics, const std::optional<QString>& error,
                bool historyOpen, const ValueFormatter& format);

// "Version %1 (%2)"; an empty part reads "—".
QString versionLine(const QString& version, const QString& build);

// The "This computer" rows.
struct Computer {
  QString model;
  QString chip;
  QString system;  // "<os> (<kernel>)"
};
Computer computer(const SystemInfo& system);

// The own-footprint rows; "—" for what is not known yet.
struct Footprint {
  QString cpu;
  QString memory;
  QString collection;
};
Footprint footprint(std::optional<double> selfCPU, const TelemetrySnapshot* snapshot,
                    const ValueFormatter& format);

// "Interval in force now": the tick's interval with one digit and " s"; absent before a snapshot.
std::optional<QString> intervalInForce(const TelemetrySnapshot* snapshot, const ValueFormatter& format);

}  // namespace SettingsFacts

}  // namespace kivo
