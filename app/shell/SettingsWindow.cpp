#include "shell/SettingsWindow.h"

#include "design/Accessibility.h"
#include "features/settings/SettingsView.h"
#include "settings/AppSettings.h"
#include "shell/AppCommands.h"
#include "texts/Localized.h"

#include <QLabel>
#include <QShortcut>
#include <QTabBar>

namespace kivo {

SettingsWindow::SettingsWindow(MonitorModel& model, AppSettings& settings, LaunchAtLogin& launchAtLogin,
                               const TrayHost* trayHost, const AppCommands* commands, QWidget* parent)
    : QTabWidget(parent), settings_(settings) {
  setObjectName(QStringLiteral("settings"));
  setWindowFlag(Qt::Window);
  setWindowTitle(kivo::tr("Settings"));
  setAttribute(Qt::WA_DeleteOnClose);
  setDocumentMode(true);
  SettingsView::addPanes(this, model, settings, launchAtLogin, trayHost);

  // A change that could not be saved is said here while it lasts (the next change tries again),
  // and so is a settings file that could not be read at start, with where it is kept.
  saveError_ = new QLabel(this);
  saveError_->setObjectName(QStringLiteral("settings.saveError"));
  saveError_->setTextFormat(Qt::PlainText);
  saveError_->setContentsMargins(8, 0, 8, 0);
  setCornerWidget(saveError_, Qt::TopRightCorner);
  showSaveError();
  connect(&settings, &AppSettings::saveErrorChanged, this, &SettingsWindow::showSaveError);
  connect(&settings, &AppSettings::readErrorChanged, this, &SettingsWindow::showSaveError);
  // A window of settings behaves as a dialog: Escape closes it and screen readers call it one.
  Accessibility::setRole(this, QAccessible::Dialog);
  Accessibility::pressWithReturn(this);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
  resize(600, 520);
  if (commands) commands->addShortcuts(this);
}

void SettingsWindow::showSaveError() {
  const QString& saveError = settings_.saveError();
  const QString& readError = settings_.readError();
  const QString message =
      !saveError.isEmpty() ? kivo::tr("Settings are not saved") : kivo::tr("Settings file not read");
  QStringList details;
  if (!saveError.isEmpty()) details << saveError;
  if (!readError.isEmpty()) details << readError;
  const QString error = details.join(u'\n');
  // The six tabs keep their whole width: the message takes the room they leave, and where that
  // is too little only a warning sign stays, its tooltip and name still saying what happened.
  const QMargins margins = saveError_->contentsMargins();
  const int needed = fontMetrics().horizontalAdvance(message) + margins.left() + margins.right();
  const bool fits = needed <= width() - tabBar()->sizeHint().width();
  const QString shown = error.isEmpty() ? QString() : fits ? message : QStringLiteral("\u26A0");
  QFont font = this->font();
  if (!fits) font.setPixelSize(16);
  saveError_->setFont(font);
  if (saveError_->text() != shown) saveError_->setText(shown);
  saveError_->setToolTip(error);
  saveError_->setAccessibleName(message);
  saveError_->setAccessibleDescription(error);
  saveError_->setVisible(!error.isEmpty());
}

void SettingsWindow::resizeEvent(QResizeEvent* event) {
  QTabWidget::resizeEvent(event);
  showSaveError();
}

void SettingsWindow::showEvent(QShowEvent* event) {
  QTabWidget::showEvent(event);
  showSaveError();
}

void SettingsWindow::changeEvent(QEvent* event) {
  QTabWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) showSaveError();
}

}  // namespace kivo
