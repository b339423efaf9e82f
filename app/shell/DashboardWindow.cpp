#include "shell/DashboardWindow.h"

#include "model/MonitorModel.h"
#include "design/Tokens.h"
#include "texts/Localized.h"

#include <QPainter>

namespace kivo {

DashboardWindow::DashboardWindow(MonitorModel& model, const QUuid& presetID, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), presetID_(presetID) {
  setObjectName(QStringLiteral("dashboardWindow"));
  setWindowTitle(kivo::tr("Dashboard"));
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(420, 300);
  resize(900, 620);
}

void DashboardWindow::showEvent(QShowEvent* event) {
  model_.start();
  QWidget::showEvent(event);
}

void DashboardWindow::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Palette::canvas.resolve(this)); }

}  // namespace kivo
