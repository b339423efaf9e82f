#include "platform/NvidiaManagement.h"

#include <dlfcn.h>

#include <mutex>

namespace kivo {

namespace {

// The few declarations of the management library's C interface that are used; the
// library is the driver's own and is never linked at build time.
using Result = int;
constexpr Result kSuccess = 0;
using Device = void*;
struct Utilization {
  unsigned int gpu;
  unsigned int memory;
};
struct Memory {
  unsigned long long total;
  unsigned long long free;
  unsigned long long used;
};

struct Api {
  Result (*init)() = nullptr;
  Result (*count)(unsigned int*) = nullptr;
  Result (*handle)(unsigned int, Device*) = nullptr;
  Result (*name)(Device, char*, unsigned int) = nullptr;
  Result (*utilization)(Device, Utilization*) = nullptr;
  Result (*memory)(Device, Memory*) = nullptr;
  bool ready = false;
};

template <typename F>
bool bind(void* library, const char* symbol, F& into) {
  into = reinterpret_cast<F>(::dlsym(library, symbol));
  return into != nullptr;
}

// Loaded once; stays loaded for the life of the process.
const Api& api() {
  static const Api loaded = [] {
    Api a;
    void* library = ::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library) return a;
    const bool bound = bind(library, "nvmlInit_v2", a.init) &&
                       bind(library, "nvmlDeviceGetCount_v2", a.count) &&
                       bind(library, "nvmlDeviceGetHandleByIndex_v2", a.handle) &&
                       bind(library, "nvmlDeviceGetName", a.name) &&
                       bind(library, "nvmlDeviceGetUtilizationRates", a.utilization) &&
                       bind(library, "nvmlDeviceGetMemoryInfo", a.memory);
    if (!bound || a.init() != kSuccess) {
      ::dlclose(library);
      return Api{};
    }
    a.ready = true;
    return a;
  }();
  return loaded;
}

}  // namespace

std::vector<NvidiaReading> NvmlLibrary::read() {
  std::vector<NvidiaReading> readings;
  const Api& a = api();
  if (!a.ready) return readings;
  unsigned int count = 0;
  if (a.count(&count) != kSuccess) return readings;
  for (unsigned int i = 0; i < count && i < 64; ++i) {
    Device device = nullptr;
    if (a.handle(i, &device) != kSuccess) continue;
    NvidiaReading r;
    char name[96] = {};
    if (a.name(device, name, sizeof name - 1) == kSuccess) r.name = name;
    Utilization utilization{};
    if (a.utilization(device, &utilization) == kSuccess && utilization.gpu <= 100)
      r.utilization = utilization.gpu;
    Memory memory{};
    if (a.memory(device, &memory) == kSuccess && memory.total > 0) {
      r.memoryUsed = memory.used;
      r.memoryTotal = memory.total;
    }
    readings.push_back(std::move(r));
  }
  return readings;
}

std::shared_ptr<NvidiaManagement> NvmlLibrary::shared() {
  static const std::shared_ptr<NvidiaManagement> instance(new NvmlLibrary());
  return instance;
}

}  // namespace kivo
