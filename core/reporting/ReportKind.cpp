#include "reporting/ReportKind.h"

#include <array>

namespace kivo {

namespace {

using M = MetricID;

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

std::span<const MetricID> ReportKinds::metrics(ReportKind kind) {
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

}  // namespace kivo
