#include "shell/DashboardWindow.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/FocusOrder.h"
#include "design/Tokens.h"
#include "features/dashboard/DashboardPage.h"
#include "model/MonitorModel.h"
#include "shell/AppCommands.h"
#include "shell/BookmarkNote.h"
#include "texts/Localized.h"

#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

namespace kivo {

DashboardWindow::DashboardWindow(MonitorModel& model, const QUuid& presetID, const AppCommands* commands,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), presetID_(presetID) {
  setObjectName(QStringLiteral("dashboardWindow"));
  setWindowTitle(kivo::tr("Dashboard"));
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(kMinimumSize);
  Accessibility::setRole(this, QAccessible::Window);
  Accessibility::pressWithReturn(this);
  resize(kDefaultSize);
  auto* layout = bareColumn(this);
  if (commands) {
    auto* menus = new QMenuBar(this);
    commands->addMenus(menus);
    menus->setCornerWidget(new BookmarkNote(model, menus), Qt::TopRightCorner);
    layout->setMenuBar(menus);
  }
  page_ = new DashboardPage(model, model.settings(), presetID, true, this);
  page_->setAccessibleName(windowTitle());
  layout->addWidget(page_);
}

void DashboardWindow::showEvent(QShowEvent* event) {
  model_.start();
  QWidget::showEvent(event);
}

bool DashboardWindow::focusNextPrevChild(bool next) {
  FocusOrder::followScreen(page_);
  return QWidget::focusNextPrevChild(next);
}

void DashboardWindow::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), Palette::canvas.resolve(this));
}

}  // namespace kivo
