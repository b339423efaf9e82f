#pragma once

#include "shell/AppSection.h"

#include <QUuid>

#include <functional>

class QWidget;

namespace kivo {

class AppSettings;
class MonitorModel;
struct DesktopServices;

// What every page is built from: the one model, the one settings object and the desktop services.
struct PageContext {
  MonitorModel& model;
  AppSettings& settings;
  DesktopServices& desktop;
  // Opens a detached dashboard window on a preset (the dashboard's "Open in New Window").
  std::function<void(const QUuid&)> openDashboard = {};
};

// The one place that knows which page shows a section. A page is created fresh, with its
// default state, each time its section is selected.
namespace SectionPages {

QWidget* create(AppSection section, const PageContext& context, QWidget* parent = nullptr);

}  // namespace SectionPages

}  // namespace kivo
