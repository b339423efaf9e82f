#include "features/memory/MemoryPagePresenter.h"

#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <cmath>

namespace kivo::MemoryPagePresenter {
namespace {

const QString kDash = QStringLiteral("—");

QString bytes(std::uint64_t value, const ValueFormatter& format) {
  return format.bytes(static_cast<double>(value), true);
}

}  // namespace

std::optional<QString> subtitle(std::uint64_t physical, const ValueFormatter& format) {
  if (physical == 0) return std::nullopt;
  return tr("%1 installed", bytes(physical, format));
}

std::optional<ChartRange> chartDomain(std::uint64_t physical) {
  if (physical == 0) return std::nullopt;
  return ChartRange{0, static_cast<double>(physical)};
}

QString pressureText(double value) {
  if (value >= 1.5) return tr("Critical");
  if (value >= 0.5) return tr("Warning");
  return tr("Normal");
}

QString rate(const std::optional<double>& pagesPerSecond, const ValueFormatter& format) {
  if (!pagesPerSecond || !std::isfinite(*pagesPerSecond)) return kDash;
  return format.number(std::max(*pagesPerSecond, 0.0), 0) + QStringLiteral("/s");
}

std::optional<double> swapFraction(const MemorySample& sample) {
  if (sample.swapTotal == 0) return std::nullopt;
  return static_cast<double>(sample.swapUsed) / static_cast<double>(sample.swapTotal);
}

MemoryPageState state(const MemorySample* sample, const ValueFormatter& format) {
  MemoryPageState state;
  if (!sample) {
    state.used = state.app = state.wired = state.compressed = state.cached = state.free = kDash;
    state.swapUsed = state.swapTotal = state.pageSize = kDash;
    state.pageIns = state.pageOuts = state.swapIns = state.swapOuts = kDash;
    return state;
  }
  state.hasSample = true;
  state.used = bytes(sample->used, format);
  state.app = bytes(sample->app, format);
  state.wired = bytes(sample->wired, format);
  state.compressed = sample->compressed ? bytes(*sample->compressed, format) : kDash;
  state.cached = bytes(sample->cached, format);
  state.free = bytes(sample->free, format);
  state.swapUsed = bytes(sample->swapUsed, format);
  state.swapTotal = bytes(sample->swapTotal, format);
  state.swapFraction = swapFraction(*sample);
  state.pageIns = rate(sample->pageInRate, format);
  state.pageOuts = rate(sample->pageOutRate, format);
  state.swapIns = rate(sample->swapInRate, format);
  state.swapOuts = rate(sample->swapOutRate, format);
  state.pageSize = sample->pageSize > 0 ? bytes(sample->pageSize, format) : kDash;
  state.pressure = sample->pressure;
  state.pressureUnavailable = !sample->pressure.has_value();
  return state;
}

MemoryPageState state(const MonitorModel& model) {
  const auto& snapshot = model.snapshot();
  return state(snapshot && snapshot->memory ? &*snapshot->memory : nullptr, model.format());
}

}  // namespace kivo::MemoryPagePresenter
