#include "shell/SettingsWindow.h"

#include "features/settings/SettingsView.h"
#include "shell/AppCommands.h"
#include "texts/Localized.h"

namespace kivo {

SettingsWindow::SettingsWindow(MonitorModel& model, AppSettings& settings, const TrayHost* trayHost,
                               const AppCommands* commands, QWidget* parent)
    : QTabWidget(parent) {
  setObjectName(QStringLiteral("settings"));
  setWindowFlag(Qt::Window);
  setWindowTitle(kivo::tr("Settings"));
  setAttribute(Qt::WA_DeleteOnClose);
  setDocumentMode(true);
  SettingsView::addPanes(this, model, settings, trayHost);
  resize(600, 520);
  if (commands) commands->addShortcuts(this);
}

}  // namespace kivo
