#include "features/settings/SettingsFacts.h"
#include "metrics/OutsideText.h"

#include "texts/Localized.h"

namespace kivo::SettingsFacts {

namespace {

const QString kDash = QStringLiteral("—");

// Read from the system's files: in its visible form.
QString orDash(const QString& text) {
  return text.trimmed().isEmpty() ? kDash : OutsideText::visible(text);
}

}  // namespace

Storage storage(const std::optional<StoreStatistics>& statistics, const std::optional<QString>& error,
                bool historyOpen, const ValueFormatter& format) {
  Storage rows;
  if (statistics) {
    rows.statistics = true;
    rows.databaseSize = format.bytes(statistics->fileBytes, false);
    const QString separator = QStringLiteral(" · ");
    rows.storedSamples = format.locale.toString(static_cast<qlonglong>(statistics->rawRows)) + separator +
                         format.locale.toString(static_cast<qlonglong>(statistics->minuteRows)) + separator +
                         format.locale.toString(static_cast<qlonglong>(statistics->hourRows));
    if (statistics->earliest) rows.oldest = format.date(*statistics->earliest);
  }
  if (error) {
    // An open history's error is its failing flush, already worded with what waits and what was lost.
    rows.error = historyOpen ? *error : tr("The history database could not be opened: %1", *error);
  }
  if (!historyOpen) rows.eraseUnavailable = tr("No history is open, so there is nothing to erase.");
  return rows;
}

QString versionLine(const QString& version, const QString& build) {
  return tr("Version %1 (%2)", orDash(version), orDash(build));
}

Computer computer(const SystemInfo& system) {
  Computer rows;
  rows.model = orDash(system.model.value_or(QString()));
  rows.chip = orDash(system.chip);
  rows.system = orDash(system.osVersion) + QStringLiteral(" (") + orDash(system.osBuild) + QLatin1Char(')');
  return rows;
}

Footprint footprint(std::optional<double> selfCPU, const TelemetrySnapshot* snapshot,
                    const ValueFormatter& format) {
  Footprint rows{kDash, kDash, kDash};
  if (selfCPU) rows.cpu = format.percent(*selfCPU, 1);
  if (snapshot) {
    if (snapshot->selfMemory) rows.memory = format.bytes(static_cast<double>(*snapshot->selfMemory), true);
    rows.collection = format.number(snapshot->collectionTime, 1) + QStringLiteral(" ms");
  }
  return rows;
}

std::optional<QString> intervalInForce(const TelemetrySnapshot* snapshot, const ValueFormatter& format) {
  if (!snapshot) return std::nullopt;
  return format.number(snapshot->interval, 1) + QStringLiteral(" s");
}

}  // namespace kivo::SettingsFacts
