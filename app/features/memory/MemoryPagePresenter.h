#pragma once

#include "collectors/MemorySample.h"
#include "design/ChartGeometry.h"
#include "metrics/ValueFormatter.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace kivo {

class MonitorModel;

// Every figure of the memory page for one state of the model; "—" for what is absent.
struct MemoryPageState {
  bool hasSample = false;
  QString used;
  QString app;
  QString wired;
  QString compressed;  // "—" without zswap and zram
  QString cached;
  QString free;
  QString swapUsed;
  QString swapTotal;
  std::optional<double> swapFraction;  // only with swap allocated
  QString pageIns;
  QString pageOuts;
  QString swapIns;
  QString swapOuts;
  QString pageSize;
  std::optional<MemoryPressureLevel> pressure;
  // A sample without a pressure level: the kernel offers no pressure stall information.
  bool pressureUnavailable = false;
};

namespace MemoryPagePresenter {

// "16 GiB installed"; absent when the installed memory could not be read.
std::optional<QString> subtitle(std::uint64_t physical, const ValueFormatter& format);
// The stacked chart's value range: up to the installed memory; absent (follow the data) when that is 0.
std::optional<ChartRange> chartDomain(std::uint64_t physical);
// "Critical" from 1.5, "Warning" from 0.5, else "Normal".
QString pressureText(double value);
// Pages per second as a whole number followed by "/s"; "—" when absent or not finite.
QString rate(const std::optional<double>& pagesPerSecond, const ValueFormatter& format);
// Used over allocated swap; absent without swap.
std::optional<double> swapFraction(const MemorySample& sample);

MemoryPageState state(const MemorySample* sample, const ValueFormatter& format);
MemoryPageState state(const MonitorModel& model);

}  // namespace MemoryPagePresenter

}  // namespace kivo
