#pragma once

#include "features/reports/ReportFileDialogs.h"
#include "features/reports/ReportsPage.h"
#include "metrics/Metric.h"
#include "storage/TimeSeriesStore.h"

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <deque>
#include <functional>
#include <optional>

namespace kivo::test {

// File dialogs that answer from a script: each call takes the next prepared answer (a cancel
// when none is left) and notes what the page proposed.
class ScriptedDialogs final : public ReportFileDialogs {
 public:
  std::optional<QString> saveLocation(QWidget* parent, const QString& proposedName,
                                      ReportFormat format) override {
    proposed.append(proposedName);
    formats.push_back(format);
    if (during) during(parent);
    if (saves.empty()) return std::nullopt;
    auto answer = saves.front();
    saves.pop_front();
    return answer;
  }
  std::optional<QStringList> reportsToCompare(QWidget* parent, const QString& folder) override {
    ++opens;
    folders.append(folder);
    if (during) during(parent);
    if (choices.empty()) return std::nullopt;
    auto answer = choices.front();
    choices.pop_front();
    return answer;
  }

  std::deque<std::optional<QString>> saves;
  std::deque<std::optional<QStringList>> choices;
  // Runs while the "dialog" is open (a test may close the page there).
  std::function<void(QWidget*)> during;
  QStringList proposed;
  std::vector<ReportFormat> formats;
  int opens = 0;
  QStringList folders;  // where each comparison dialog opened
};

// Every metric the reports use but GPU utilisation, one sample every 10 s over the hour before
// `now`, plus `bookmarks` bookmark events; GPU utilisation stays without samples.
inline void fillHistory(TimeSeriesStore& store, const QDateTime& now, int bookmarks = 0) {
  store.setRawInterval(10);
  for (int i = 360; i >= 1; --i) {
    const double wave = std::sin(i / 20.0);
    const std::vector<MetricValue> values{
        {MetricID::cpuTotal, 40 + 20 * wave},
        {MetricID::cpuUser, 25 + 10 * wave},
        {MetricID::cpuSystem, 10 + 5 * wave},
        {MetricID::loadAverage1, 1.5 + wave},
        {MetricID::memUsed, 8e9 + 1e9 * wave},
        {MetricID::memApp, 5e9},
        {MetricID::memWired, 1e9},
        {MetricID::memCompressed, 2e8},
        {MetricID::memCached, 3e9},
        {MetricID::memFree, 2e9},
        {MetricID::memPressure, 0},
        {MetricID::swapUsed, 1e8},
        {MetricID::pageIns, 12},
        {MetricID::pageOuts, 1},
        {MetricID::diskFree, 1.2e11},
        {MetricID::diskRead, 2e6 + 1e6 * wave},
        {MetricID::diskWrite, 1e6},
        {MetricID::netDown, 5e5 + 4e5 * wave},
        {MetricID::netUp, 5e4},
        {MetricID::thermalState, 0},
        {MetricID::batteryCharge, 80},
        {MetricID::processCount, 300 + 10 * wave},
    };
    store.append(values, now.addSecs(-10 * i));
  }
  for (int i = 0; i < bookmarks; ++i) {
    StoredEvent event;
    event.date = now.addSecs(-30 * (i + 1));
    event.kind = EventKind::bookmark;
    event.code = QStringLiteral("bookmark");
    event.payload = {{QStringLiteral("note"), QStringLiteral("Bookmark %1").arg(i)}};
    store.record(event);
  }
  store.flush(now);
}

inline QString reportsOutput(const QString& name) {
  const QString dir = outputDir() + QStringLiteral("/reports");
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

inline QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kivo::test
