#include "shell/SettingsWindow.h"

#include "texts/Localized.h"

namespace kivo {

SettingsWindow::SettingsWindow(QWidget* parent) : QTabWidget(parent) {
  setObjectName(QStringLiteral("settings"));
  setWindowFlag(Qt::Window);
  setWindowTitle(kivo::tr("Settings"));
  setAttribute(Qt::WA_DeleteOnClose);
  setDocumentMode(true);
  resize(600, 520);
}

}  // namespace kivo
