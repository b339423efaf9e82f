#include "features/tray/MenuBarTray.h"

#include "design/Icons.h"
#include "design/Tokens.h"
#include "desktop/TrayHost.h"
#include "features/tray/MenuBarPanel.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>

#include <algorithm>
#include <utility>

namespace kivo {

namespace {
constexpr int kScreenMargin = 8;
constexpr int kIconGap = 4;
const int kIconSizes[] = {16, 22, 24, 32, 48, 64};
}  // namespace

MenuBarTray::MenuBarTray(MonitorModel& model, AppSettings& settings, MenuBarActions actions, QObject* parent,
                         Availability available)
    : QObject(parent),
      model_(model),
      settings_(settings),
      actions_(std::move(actions)),
      host_(available ? new TrayHost(std::move(available), this)
                      : TrayHost::followDesktop(&QSystemTrayIcon::isSystemTrayAvailable, this)),
      label_(model, settings),
      menu_(std::make_unique<QMenu>()) {
  Icons::initResources();
  auto call = [](const std::function<void()>& action) {
    if (action) action();
  };
  menu_->setObjectName(QStringLiteral("menubar.menu"));
  connect(menu_->addAction(tr("Open KIVO Monitor")), &QAction::triggered, this,
          [this, call] { call(actions_.openMain); });
  pause_ = menu_->addAction(tr("Pause Sampling"));
  connect(pause_, &QAction::triggered, this, [this] {
    if (actions_.togglePause) {
      actions_.togglePause();
    } else {
      model_.setPaused(!model_.isPaused());
    }
  });
  connect(menu_->addAction(tr("Settings…")), &QAction::triggered, this,
          [this, call] { call(actions_.openSettings); });
  menu_->addSeparator();
  connect(menu_->addAction(tr("Quit KIVO Monitor")), &QAction::triggered, this,
          [this, call] { call(actions_.quit); });

  connect(host_, &TrayHost::availableChanged, this, &MenuBarTray::applyVisibility);
  connect(&settings_, &AppSettings::showMenuBarChanged, this, &MenuBarTray::applyVisibility);
  connect(&settings_, &AppSettings::menuBarItemsChanged, this, &MenuBarTray::update);
  // Once per tick: the live series are announced last, with the snapshot and alerts whole.
  connect(&model_, &MonitorModel::liveChanged, this, &MenuBarTray::update);
  connect(&model_, &MonitorModel::pausedChanged, this, &MenuBarTray::updateMenu);
  updateMenu();
  applyVisibility();
}

MenuBarTray::~MenuBarTray() {
  delete std::exchange(panel_, nullptr);
  if (tray_) tray_->hide();
}

void MenuBarTray::updateVisibility() {
  host_->recheck();
  applyVisibility();
}

void MenuBarTray::applyVisibility() {
  const bool shown = settings_.showMenuBar() && host_->isAvailable();
  if (shown == shown_) return;
  shown_ = shown;
  if (shown_) {
    // Made now rather than at start: the toolkit picks the tray protocol when the icon is made,
    // and the host that just arrived may speak another one than the last.
    tray_ = std::make_unique<QSystemTrayIcon>();
    tray_->setContextMenu(menu_.get());
    connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) togglePanel();
    });
    iconAlert_.reset();
    toolTip_.clear();
    update();
    tray_->show();
    // Whichever part of the interface appears first starts sampling.
    model_.start();
  } else {
    tray_.reset();
    if (panel_) panel_->hide();
  }
  emit shownChanged(shown_);
}

void MenuBarTray::update() {
  if (!shown_) return;
  updateIcon();
  const QString text = label_.toolTip();
  if (text != toolTip_) {
    toolTip_ = text;
    tray_->setToolTip(toolTip_);
  }
}

void MenuBarTray::updateIcon() {
  const bool alert = label_.alert();
  if (iconAlert_ == alert) return;
  iconAlert_ = alert;
  QIcon icon;
  for (int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(iconImage(size, alert)));
  tray_->setIcon(icon);
  ++iconDraws_;
}

void MenuBarTray::updateMenu() {
  pause_->setText(model_.isPaused() ? tr("Resume Sampling") : tr("Pause Sampling"));
}

void MenuBarTray::togglePanel() {
  if (panel_ && panel_->isVisible()) {
    panel_->hide();
    return;
  }
  // A click on the icon first closes the open popup (a press outside it), then arrives here:
  // that click meant "close", not "open again".
  if (panelHidden_.isValid() && panelHidden_.elapsed() < 300) return;
  if (!panel_) {
    panel_ = new MenuBarPanel(model_, actions_);
    panel_->setWindowFlags(Qt::Popup);
    panel_->setAttribute(Qt::WA_DeleteOnClose, false);
    MenuBarPanel::followSettings(panel_, settings_);
    connect(panel_, &MenuBarPanel::actionTriggered, panel_, &QWidget::hide);
    panel_->installEventFilter(this);
  }
  panel_->refresh();
  panel_->adjustSize();
  const QRect icon = tray_ ? tray_->geometry() : QRect();
  QScreen* screen = icon.isValid() ? QGuiApplication::screenAt(icon.center()) : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  panel_->move(popupPosition(icon, available, panel_->size()));
  panel_->show();
  panel_->activateWindow();
}

bool MenuBarTray::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && panel_ && watched == static_cast<QObject*>(panel_))
    panelHidden_.start();
  return QObject::eventFilter(watched, event);
}

QPoint MenuBarTray::popupPosition(const QRect& icon, const QRect& screen, const QSize& popup) {
  const int minX = screen.left() + kScreenMargin;
  const int maxX = std::max(minX, screen.right() + 1 - kScreenMargin - popup.width());
  const int minY = screen.top() + kScreenMargin;
  const int maxY = std::max(minY, screen.bottom() + 1 - kScreenMargin - popup.height());
  if (!icon.isValid() || icon.isEmpty()) return {maxX, minY};
  const int x = std::clamp(icon.center().x() - popup.width() / 2, minX, maxX);
  const bool below = icon.center().y() < screen.center().y();
  const int y = below ? icon.bottom() + 1 + kIconGap : icon.top() - kIconGap - popup.height();
  return {x, std::clamp(y, minY, maxY)};
}

QImage MenuBarTray::iconImage(int size, bool alert, qreal devicePixelRatio) {
  const int pixels = std::max(1, qRound(size * devicePixelRatio));
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(devicePixelRatio);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  Icons::applicationIcon().paint(&painter, QRect(0, 0, size, size));
  if (alert) {
    // A red dot in the top right corner, ringed in white so it shows on any panel colour.
    const double d = size * 0.42;
    const QRectF dot(size - d, 0, d, d);
    painter.setPen(QPen(Qt::white, std::max(1.0, size / 16.0)));
    painter.setBrush(Palette::danger.resolve(false));
    painter.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
  }
  return image;
}

}  // namespace kivo
