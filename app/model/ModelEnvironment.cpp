#include "model/ModelEnvironment.h"

#include "collectors/GPUCollector.h"
#include "collectors/SensorCapabilityResolver.h"
#include "metrics/MonotonicClock.h"

#include <cstdio>

namespace kivo {

ModelEnvironment ModelEnvironment::system() {
  ModelEnvironment environment;
  environment.systemInfo = [] { return SystemInfo::current(); };
  environment.gpuDevices = [] { return GPUCollector().devices(); };
  environment.capabilities = [] { return SensorCapabilityResolver::resolve(); };
  environment.monotonicNow = [] { return MonotonicClock::now(); };
  environment.now = [] { return QDateTime::currentDateTimeUtc(); };
  // Lines that must reach the user whatever the logging rules (samples lost at quit).
  environment.log = [](const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
  };
  return environment;
}

ModelEnvironment ModelEnvironment::completed() const {
  ModelEnvironment environment = *this;
  const ModelEnvironment real = system();
  if (!environment.systemInfo) environment.systemInfo = real.systemInfo;
  if (!environment.gpuDevices) environment.gpuDevices = real.gpuDevices;
  if (!environment.capabilities) environment.capabilities = real.capabilities;
  if (!environment.monotonicNow) environment.monotonicNow = real.monotonicNow;
  if (!environment.now) environment.now = real.now;
  if (!environment.log) environment.log = real.log;
  return environment;
}

}  // namespace kivo
