#include "shell/SettingsWindow.h"

#include "features/settings/SettingsView.h"
#include "texts/Localized.h"

namespace kivo {

SettingsWindow::SettingsWindow(MonitorModel& model, AppSettings& settings, QWidget* parent) : QTabWidget(parent) {
  setObjectName(QStringLiteral("settings"));
  setWindowFlag(Qt::Window);
  setWindowTitle(kivo::tr("Settings"));
  setAttribute(Qt::WA_DeleteOnClose);
  setDocumentMode(true);
  SettingsView::addPanes(this, model, settings);
  resize(600, 520);
}

}  // namespace kivo
