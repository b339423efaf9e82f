#include "shell/SettingsWindow.h"

#include "design/Accessibility.h"
#include "features/settings/SettingsView.h"
#include "settings/AppSettings.h"
#include "shell/AppCommands.h"
#include "texts/Localized.h"

#include <QLabel>
#include <QShortcut>

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

  // A change that could not be saved is said here while it lasts; the next change tries again.
  auto* saveError = new QLabel(this);
  saveError->setObjectName(QStringLiteral("settings.saveError"));
  saveError->setTextFormat(Qt::PlainText);
  saveError->setContentsMargins(8, 0, 8, 0);
  const auto showSaveError = [saveError, &settings] {
    const QString& error = settings.saveError();
    saveError->setText(error.isEmpty() ? QString() : kivo::tr("Settings are not saved"));
    saveError->setToolTip(error);
    saveError->setAccessibleName(kivo::tr("Settings are not saved"));
    saveError->setAccessibleDescription(error);
    saveError->setVisible(!error.isEmpty());
  };
  setCornerWidget(saveError, Qt::TopRightCorner);
  showSaveError();
  connect(&settings, &AppSettings::saveErrorChanged, saveError, showSaveError);
  // A window of settings behaves as a dialog: Escape closes it and screen readers call it one.
  Accessibility::setRole(this, QAccessible::Dialog);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
  resize(600, 520);
  if (commands) commands->addShortcuts(this);
}

}  // namespace kivo
