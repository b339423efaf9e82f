#include "shell/AppSection.h"

#include "settings/Preferences.h"

namespace kivo::AppSections {

namespace {

struct Entry {
  AppSection section;
  const char* raw;
  const char* title;
  const char* symbol;
};

constexpr std::array<Entry, 13> kEntries{{
    {AppSection::overview, "overview", "Overview", "square.grid.2x2"},
    {AppSection::cpu, "cpu", "CPU", "cpu"},
    {AppSection::gpu, "gpu", "GPU", "square.stack.3d.up"},
    {AppSection::memory, "memory", "Memory", "memorychip"},
    {AppSection::disk, "disk", "Disk", "internaldrive"},
    {AppSection::network, "network", "Network", "network"},
    {AppSection::processes, "processes", "Processes", "list.bullet.rectangle"},
    {AppSection::power, "power", "Power", "bolt.fill"},
    {AppSection::thermal, "thermal", "Thermal & Sensors", "thermometer.medium"},
    {AppSection::history, "history", "History", "chart.xyaxis.line"},
    {AppSection::insights, "insights", "Insights", "lightbulb"},
    {AppSection::alerts, "alerts", "Alerts", "bell"},
    {AppSection::reports, "reports", "Reports", "doc.text"},
}};

constexpr std::array<AppSection, 13> kAll{
    AppSection::overview, AppSection::cpu,     AppSection::gpu,       AppSection::memory,
    AppSection::disk,     AppSection::network, AppSection::processes, AppSection::power,
    AppSection::thermal,  AppSection::history, AppSection::insights,  AppSection::alerts,
    AppSection::reports,
};
constexpr std::array<AppSection, 7> kHardware{
    AppSection::cpu,     AppSection::gpu,   AppSection::memory,  AppSection::disk,
    AppSection::network, AppSection::power, AppSection::thermal,
};
constexpr std::array<AppSection, 5> kAnalysis{
    AppSection::processes, AppSection::history, AppSection::insights, AppSection::alerts, AppSection::reports,
};

const Entry& entry(AppSection section) {
  return kEntries[static_cast<std::size_t>(section)];
}

}  // namespace

std::span<const AppSection> allCases() {
  return kAll;
}
std::span<const AppSection> hardware() {
  return kHardware;
}
std::span<const AppSection> analysis() {
  return kAnalysis;
}

QString rawValue(AppSection section) {
  return QString::fromLatin1(entry(section).raw);
}

std::optional<AppSection> fromRawValue(QStringView raw) {
  for (const Entry& e : kEntries) {
    if (raw == QLatin1String(e.raw)) return e.section;
  }
  return std::nullopt;
}

const char* titleKey(AppSection section) {
  return entry(section).title;
}

QString symbol(AppSection section) {
  return QString::fromLatin1(entry(section).symbol);
}

AppSection initial(const Preferences& standard) {
  if (const auto text = standard.string(kLaunchOption)) {
    if (const auto section = fromRawValue(*text)) return *section;
  }
  return AppSection::overview;
}

}  // namespace kivo::AppSections
