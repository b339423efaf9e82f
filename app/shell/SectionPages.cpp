#include "shell/SectionPages.h"

#include "features/alerts/AlertsPage.h"
#include "features/cpu/CPUPage.h"
#include "features/dashboard/DashboardPage.h"
#include "features/disk/DiskPage.h"
#include "features/gpu/GPUPage.h"
#include "features/history/HistoryPage.h"
#include "features/insights/InsightsPage.h"
#include "features/memory/MemoryPage.h"
#include "features/network/NetworkPage.h"
#include "features/power/PowerPage.h"
#include "features/processes/ProcessesPage.h"
#include "features/reports/ReportsPage.h"
#include "features/thermal/ThermalPage.h"
#include "shell/DesktopServices.h"
#include "texts/Localized.h"

namespace kivo {

QWidget* SectionPages::create(AppSection section, const PageContext& context, QWidget* parent) {
  QWidget* page = nullptr;
  switch (section) {
    // Every section has its page; no default, so a new section without one is a warning.
    case AppSection::reports:
      page = new ReportsPage(context.model, context.settings, parent);
      break;
    case AppSection::history:
      page = new HistoryPage(context.model, context.settings, parent);
      break;
    case AppSection::overview: {
      auto* dashboard = new DashboardPage(context.model, context.settings, parent);
      if (context.openDashboard)
        QObject::connect(dashboard, &DashboardPage::openWindowRequested, context.openDashboard);
      page = dashboard;
      break;
    }
    case AppSection::alerts:
      page = new AlertsPage(context.model, context.settings, parent);
      break;
    case AppSection::insights:
      page = new InsightsPage(context.model, context.settings, parent);
      break;
    case AppSection::processes:
      page = new ProcessesPage(context.model, context.settings, *context.desktop.processActions, parent);
      break;
    case AppSection::cpu:
      page = new CPUPage(context.model, context.settings, parent);
      break;
    case AppSection::gpu:
      page = new GPUPage(context.model, context.settings, parent);
      break;
    case AppSection::memory:
      page = new MemoryPage(context.model, context.settings, parent);
      break;
    case AppSection::disk:
      page = new DiskPage(context.model, parent);
      break;
    case AppSection::power:
      page = new PowerPage(context.model, parent);
      break;
    case AppSection::thermal:
      page = new ThermalPage(context.model, parent);
      break;
    case AppSection::network:
      page = new NetworkPage(context.model, context.settings, parent);
      break;
  }
  page->setObjectName(QStringLiteral("section.") + AppSections::rawValue(section));
  // The page scrolls, so it is a Tab stop: it is named after its section.
  page->setAccessibleName(kivo::tr(AppSections::titleKey(section)));
  return page;
}

}  // namespace kivo
