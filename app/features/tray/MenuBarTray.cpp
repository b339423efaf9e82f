#include "features/tray/MenuBarTray.h"

#include "design/Icons.h"
#include "design/Tokens.h"
#include "desktop/StatusNotifierItem.h"
#include "desktop/TrayHost.h"
#include "features/tray/MenuBarPanel.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCursor>
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
    : MenuBarTray(model, settings, std::move(actions),
                  available ? new TrayHost(std::move(available))
                            : TrayHost::followDesktop(&QSystemTrayIcon::isSystemTrayAvailable),
                  parent) {}

MenuBarTray::MenuBarTray(MonitorModel& model, AppSettings& settings, MenuBarActions actions, TrayHost* host,
                         QObject* parent)
    : QObject(parent),
      model_(model),
      settings_(settings),
      actions_(std::move(actions)),
      host_(host),
      label_(model, settings),
      menu_(std::make_unique<QMenu>()) {
  host_->setParent(this);
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

  connect(host_, &TrayHost::kindChanged, this, &MenuBarTray::applyVisibility);
  connect(host_, &TrayHost::watcherReplaced, this, [this] {
    if (item_) item_->registerWithWatcher();
  });
  menu_->installEventFilter(this);
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
  item_.reset();
}

void MenuBarTray::updateVisibility() {
  host_->recheck();
  applyVisibility();
}

void MenuBarTray::applyVisibility() {
  const TrayHost::Kind kind = settings_.showMenuBar() ? host_->kind() : TrayHost::Kind::none;
  const bool wasShown = shown_;
  if (kind == shownKind_) return;
  // Made afresh for each host: the one that arrived may speak the other protocol.
  tray_.reset();
  item_.reset();
  shownKind_ = kind;
  shown_ = kind != TrayHost::Kind::none;
  if (kind == TrayHost::Kind::statusNotifier) makeItem();
  if (kind == TrayHost::Kind::xembed) makeTrayIcon();
  if (shown_) {
    iconAlert_.reset();
    toolTip_.clear();
    update();
    if (tray_) tray_->show();
    // Whichever part of the interface appears first starts sampling.
    model_.start();
  } else if (panel_) {
    panel_->hide();
  }
  if (shown_ != wasShown) emit shownChanged(shown_);
}

void MenuBarTray::makeItem() {
  item_ = std::make_unique<StatusNotifierItem>(host_->bus(), QStringLiteral("kivo-monitor"),
                                               tr("KIVO Monitor"), menu_->actions());
  connect(item_.get(), &StatusNotifierItem::activated, this, [this](const QPoint& at) { togglePanel(at); });
  connect(item_.get(), &StatusNotifierItem::menuRequested, this, [this](const QPoint& at) { showMenu(at); });
}

void MenuBarTray::makeTrayIcon() {
  tray_ = std::make_unique<QSystemTrayIcon>();
  tray_->setContextMenu(menu_.get());
  connect(tray_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) togglePanel();
  });
}

void MenuBarTray::update() {
  if (!shown_) return;
  updateIcon();
  const QString text = label_.toolTip();
  if (text == toolTip_) return;
  toolTip_ = text;
  if (tray_) tray_->setToolTip(toolTip_);
  if (item_) {
    // The first line is the title, as hosts show it; the figures follow.
    const qsizetype line = toolTip_.indexOf(QLatin1Char('\n'));
    item_->setToolTip(toolTip_.left(line), line < 0 ? QString() : toolTip_.mid(line + 1));
  }
}

void MenuBarTray::updateIcon() {
  const bool alert = label_.alert();
  if (iconAlert_ == alert) return;
  iconAlert_ = alert;
  QList<QImage> images;
  for (int size : kIconSizes) images << iconImage(size, alert);
  if (tray_) {
    QIcon icon;
    for (const QImage& image : images) icon.addPixmap(QPixmap::fromImage(image));
    tray_->setIcon(icon);
  }
  if (item_) item_->setIcon(images);
  ++iconDraws_;
}

void MenuBarTray::updateMenu() {
  pause_->setText(model_.isPaused() ? tr("Resume Sampling") : tr("Pause Sampling"));
}

void MenuBarTray::togglePanel(const QPoint& at) {
  if (panel_ && panel_->isVisible()) {
    panel_->hide();
    return;
  }
  // A click on the icon first closes the open popup (a press outside it), then arrives here:
  // that click meant "close", not "open again".
  if (panelHidden_.isValid() && panelHidden_.elapsed() < 300) return;
  if (!panel_) {
    panel_ = new MenuBarPanel(model_, actions_);
    panel_->setAttribute(Qt::WA_DeleteOnClose, false);
    MenuBarPanel::followSettings(panel_, settings_);
    connect(panel_, &MenuBarPanel::actionTriggered, panel_, &QWidget::hide);
    panel_->installEventFilter(this);
  }
  panel_->refresh();
  openPopup(panel_, at);
}

void MenuBarTray::showMenu(const QPoint& at) {
  if (menu_->isVisible()) menu_->hide();
  openPopup(menu_.get(), at.isNull() ? QCursor::pos() : at);
}

void MenuBarTray::openPopup(QWidget* popup, const QPoint& at) {
  const TrayPopup how = popupChoice_();
  how.applyTo(popup);
  popup->adjustSize();
  if (how.placeable()) {
    const QRect icon = !at.isNull() ? QRect(at, QSize(1, 1)) : tray_ ? tray_->geometry() : QRect();
    QScreen* screen = icon.isValid() ? QGuiApplication::screenAt(icon.center()) : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    popup->move(popupPosition(icon, available, popup->size()));
  }
  popup->show();
  popup->raise();
  popup->activateWindow();
}

bool MenuBarTray::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && panel_ && watched == static_cast<QObject*>(panel_))
    panelHidden_.start();
  // A window in place of a popup closes as a popup would when focus goes elsewhere.
  if (event->type() == QEvent::WindowDeactivate && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (!widget->windowFlags().testFlag(Qt::Popup) && (widget == panel_ || widget == menu_.get()))
      widget->hide();
  }
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
