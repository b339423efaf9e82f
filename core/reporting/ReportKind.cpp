#include "reporting/ReportKind.h"

#include "metrics/RawValueTable.h"

#include <array>

namespace kivo::ReportKinds {

namespace {

using M = MetricID;

constexpr auto kTable = rawValueTable<ReportKind>({{ReportKind::system, "system"},
                                                   {ReportKind::cpu, "cpu"},
                                                   {ReportKind::memory, "memory"},
                                                   {ReportKind::storage, "storage"},
                                                   {ReportKind::network, "network"},
                                                   {ReportKind::processes, "processes"},
                                                   {ReportKind::incident, "incident"}});

constexpr std::array kSystem{M::cpuTotal, M::memUsed,      M::memPressure,    M::swapUsed,
                             M::diskFree, M::diskRead,     M::diskWrite,      M::netDown,
                             M::netUp,    M::thermalState, M::gpuUtilization, M::batteryCharge};
constexpr std::array kCPU{M::cpuTotal, M::cpuUser, M::cpuSystem, M::loadAverage1};
constexpr std::array kMemory{M::memUsed, M::memApp,      M::memWired, M::memCompressed, M::memCached,
                             M::memFree, M::memPressure, M::swapUsed, M::pageIns,       M::pageOuts};
constexpr std::array kStorage{M::diskFree, M::diskRead, M::diskWrite};
constexpr std::array kNetwork{M::netDown, M::netUp};
constexpr std::array kProcesses{M::processCount, M::cpuTotal};
constexpr std::array kIncident{M::cpuTotal,  M::memUsed, M::memPressure, M::swapUsed,    M::diskRead,
                               M::diskWrite, M::netDown, M::netUp,       M::thermalState};

}  // namespace

std::span<const ReportKind> allCases() {
  return kTable.allCases();
}
std::string_view rawValue(ReportKind kind) {
  return kTable.rawValue(kind);
}
QString id(ReportKind kind) {
  return kTable.rawString(kind);
}
std::optional<ReportKind> fromRawValue(std::string_view raw) {
  return kTable.fromRawValue(raw);
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
