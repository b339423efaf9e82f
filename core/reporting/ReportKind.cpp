#include "reporting/ReportKind.h"

#include <array>

namespace kivo::ReportKinds {

namespace {

using M = MetricID;

constexpr std::array kAll{ReportKind::system,  ReportKind::cpu,       ReportKind::memory,  ReportKind::storage,
                          ReportKind::network, ReportKind::processes, ReportKind::incident};
constexpr std::array<std::string_view, 7> kRaw{"system", "cpu", "memory", "storage", "network", "processes", "incident"};

constexpr std::array kSystem{M::cpuTotal, M::memUsed, M::memPressure,  M::swapUsed,       M::diskFree,      M::diskRead,
                             M::diskWrite, M::netDown, M::netUp, M::thermalState, M::gpuUtilization, M::batteryCharge};
constexpr std::array kCPU{M::cpuTotal, M::cpuUser, M::cpuSystem, M::loadAverage1};
constexpr std::array kMemory{M::memUsed,   M::memApp,      M::memWired, M::memCompressed, M::memCached,
                             M::memFree,   M::memPressure, M::swapUsed, M::pageIns,       M::pageOuts};
constexpr std::array kStorage{M::diskFree, M::diskRead, M::diskWrite};
constexpr std::array kNetwork{M::netDown, M::netUp};
constexpr std::array kProcesses{M::processCount, M::cpuTotal};
constexpr std::array kIncident{M::cpuTotal,  M::memUsed, M::memPressure, M::swapUsed,    M::diskRead,
                               M::diskWrite, M::netDown, M::netUp,       M::thermalState};

}  // namespace

std::span<const ReportKind> allCases() { return kAll; }

std::string_view rawValue(ReportKind kind) { return kRaw[static_cast<std::size_t>(kind)]; }

QString id(ReportKind kind) {
  const auto raw = rawValue(kind);
  return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
}

std::optional<ReportKind> fromRawValue(std::string_view raw) {
  for (std::size_t i = 0; i < kRaw.size(); ++i)
    if (kRaw[i] == raw) return kAll[i];
  return std::nullopt;
}

std::span<const MetricID> metrics(ReportKind kind) {
  switch (kind) {
    case ReportKind::system:
      return kSystem;
    case ReportKind::cpu:
      return kCPU;
    case ReportKind::memory:
      return kMemory;
    case ReportKind::storage:
      return kStorage;
    case ReportKind::network:
      return kNetwork;
    case ReportKind::processes:
      return kProcesses;
    case ReportKind::incident:
      return kIncident;
  }
  return {};
}

}  // namespace kivo::ReportKinds
