#include "shell/SectionPages.h"

#include "design/MetricFamily.h"
#include "features/dashboard/DashboardPage.h"
#include "design/Page.h"
#include "design/PageHeader.h"
#include "features/alerts/AlertsPage.h"
#include "features/insights/InsightsPage.h"
#include "features/reports/ReportsPage.h"
#include "features/history/HistoryPage.h"
#include "features/processes/ProcessesPage.h"
#include "features/cpu/CPUPage.h"
#include "features/gpu/GPUPage.h"
#include "features/memory/MemoryPage.h"
#include "features/disk/DiskPage.h"
#include "features/network/NetworkPage.h"
#include "features/power/PowerPage.h"
#include "features/thermal/ThermalPage.h"

#include <utility>

namespace kivo {

namespace {

// The header's tile: the family of a hardware section, else the section's own symbol.
std::pair<MetricFamily, std::optional<QString>> headerTile(AppSection section) {
  switch (section) {
    case AppSection::cpu: return {MetricFamily::cpu, std::nullopt};
    case AppSection::gpu: return {MetricFamily::gpu, std::nullopt};
    case AppSection::memory: return {MetricFamily::memory, std::nullopt};
    case AppSection::disk: return {MetricFamily::disk, std::nullopt};
    case AppSection::network: return {MetricFamily::network, std::nullopt};
    case AppSection::power: return {MetricFamily::power, std::nullopt};
    case AppSection::thermal: return {MetricFamily::thermal, std::nullopt};
    default: return {MetricFamily::system, AppSections::symbol(section)};
  }
}

// A section whose page is not built yet: its header and nothing else.
QWidget* headerOnlyPage(AppSection section, QWidget* parent) {
  auto* page = new Page(parent);
  const auto [family, symbol] = headerTile(section);
  page->addWidget(new PageHeader(QString::fromLatin1(AppSections::titleKey(section)), std::nullopt, family, symbol));
  return page;
}

}  // namespace

QWidget* SectionPages::create(AppSection section, const PageContext& context, QWidget* parent) {
  QWidget* page = nullptr;
  switch (section) {
    // Each page plugs in here as it is built.
    case AppSection::reports: page = new ReportsPage(context.model, context.settings, parent); break;
    case AppSection::history: page = new HistoryPage(context.model, context.settings, parent); break;
    case AppSection::overview: {
      auto* dashboard = new DashboardPage(context.model, context.settings, parent);
      if (context.openDashboard) QObject::connect(dashboard, &DashboardPage::openWindowRequested, context.openDashboard);
      page = dashboard;
      break;
    }
    case AppSection::alerts: page = new AlertsPage(context.model, context.settings, parent); break;
    case AppSection::insights: page = new InsightsPage(context.model, context.settings, parent); break;
    case AppSection::processes: page = new ProcessesPage(context.model, context.settings, parent); break;
    case AppSection::cpu: page = new CPUPage(context.model, context.settings, parent); break;
    case AppSection::gpu: page = new GPUPage(context.model, context.settings, parent); break;
    case AppSection::memory: page = new MemoryPage(context.model, context.settings, parent); break;
    case AppSection::disk: page = new DiskPage(context.model, parent); break;
    case AppSection::power: page = new PowerPage(context.model, parent); break;
    case AppSection::thermal: page = new ThermalPage(context.model, parent); break;
    case AppSection::network: page = new NetworkPage(context.model, context.settings, parent); break;
    default:
      page = headerOnlyPage(section, parent);
      break;
  }
  page->setObjectName(QStringLiteral("section.") + AppSections::rawValue(section));
  return page;
}

}  // namespace kivo
