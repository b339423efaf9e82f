#include "features/dashboard/WidgetCatalog.h"

#include "texts/Localized.h"

namespace kivo::WidgetCatalog {

const char* titleKey(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::cpu:
      return "CPU";
    case WidgetKind::cores:
      return "CPU cores";
    case WidgetKind::gpu:
      return "GPU";
    case WidgetKind::memory:
      return "Memory";
    case WidgetKind::disk:
      return "Storage";
    case WidgetKind::diskActivity:
      return "Disk activity";
    case WidgetKind::network:
      return "Network";
    case WidgetKind::battery:
      return "Battery";
    case WidgetKind::thermal:
      return "Thermal state";
    case WidgetKind::topCPU:
      return "Top processes by CPU";
    case WidgetKind::topMemory:
      return "Top processes by memory";
    case WidgetKind::system:
      return "System";
    case WidgetKind::alerts:
      return "Alerts";
    case WidgetKind::overhead:
      return "KIVO Monitor overhead";
  }
  return "";
}

QString title(WidgetKind kind) {
  return kivo::tr(titleKey(kind));
}

WidgetSize defaultSize(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::cores:
    case WidgetKind::disk:
    case WidgetKind::topCPU:
    case WidgetKind::topMemory:
    case WidgetKind::alerts:
    case WidgetKind::overhead:
      return WidgetSize::medium;
    default:
      return WidgetSize::small;
  }
}

MetricFamily family(WidgetKind kind) {
  switch (kind) {
    case WidgetKind::cpu:
    case WidgetKind::cores:
    case WidgetKind::topCPU:
      return MetricFamily::cpu;
    case WidgetKind::gpu:
      return MetricFamily::gpu;
    case WidgetKind::memory:
    case WidgetKind::topMemory:
      return MetricFamily::memory;
    case WidgetKind::disk:
    case WidgetKind::diskActivity:
      return MetricFamily::disk;
    case WidgetKind::network:
      return MetricFamily::network;
    case WidgetKind::battery:
      return MetricFamily::power;
    case WidgetKind::thermal:
      return MetricFamily::thermal;
    case WidgetKind::system:
    case WidgetKind::alerts:
    case WidgetKind::overhead:
      return MetricFamily::system;
  }
  return MetricFamily::system;
}

QString symbol(WidgetKind kind) {
  return MetricFamilies::symbol(family(kind));
}

int span(WidgetSize size) {
  return WidgetSizes::rawValue(size);
}

const char* sizeKey(WidgetSize size) {
  switch (size) {
    case WidgetSize::small:
      return "Small";
    case WidgetSize::medium:
      return "Wide";
    case WidgetSize::large:
      return "Full width";
  }
  return "";
}

}  // namespace kivo::WidgetCatalog
