#include "design/Icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QWidget>

#include <cmath>
#include <optional>

static void kivoInitDesignResources() {
  Q_INIT_RESOURCE(resources);
}

namespace kivo::Icons {
namespace {

// symbol -> freedesktop name, or "@name" for our own SVG under :/icons/.
const QHash<QString, QString>& table() {
  static const QHash<QString, QString> map{
      // Metric families
      {QStringLiteral("cpu"), QStringLiteral("@processor")},
      {QStringLiteral("square.stack.3d.up"), QStringLiteral("@layers")},
      {QStringLiteral("memorychip"), QStringLiteral("@memory")},
      {QStringLiteral("internaldrive"), QStringLiteral("drive-harddisk-symbolic")},
      {QStringLiteral("network"), QStringLiteral("network-transmit-receive-symbolic")},
      {QStringLiteral("bolt.fill"), QStringLiteral("@bolt")},
      {QStringLiteral("thermometer.medium"), QStringLiteral("@thermometer")},
      {QStringLiteral("desktopcomputer"), QStringLiteral("computer-symbolic")},
      // Sections
      {QStringLiteral("square.grid.2x2"), QStringLiteral("view-grid-symbolic")},
      {QStringLiteral("list.bullet.rectangle"), QStringLiteral("view-list-bullet-symbolic")},
      {QStringLiteral("chart.xyaxis.line"), QStringLiteral("@chart")},
      {QStringLiteral("lightbulb"), QStringLiteral("@lightbulb")},
      {QStringLiteral("bell"), QStringLiteral("preferences-system-notifications-symbolic")},
      {QStringLiteral("bell.slash"), QStringLiteral("notifications-disabled-symbolic")},
      {QStringLiteral("doc.text"), QStringLiteral("x-office-document-symbolic")},
      // Toolbar, panel and buttons
      {QStringLiteral("bookmark"), QStringLiteral("user-bookmarks-symbolic")},
      {QStringLiteral("bookmark.fill"), QStringLiteral("user-bookmarks-symbolic")},
      {QStringLiteral("pause.fill"), QStringLiteral("media-playback-pause-symbolic")},
      {QStringLiteral("play.fill"), QStringLiteral("media-playback-start-symbolic")},
      {QStringLiteral("gearshape"), QStringLiteral("emblem-system-symbolic")},
      {QStringLiteral("power"), QStringLiteral("system-shutdown-symbolic")},
      {QStringLiteral("battery.100.bolt"), QStringLiteral("battery-full-charging-symbolic")},
      {QStringLiteral("battery.75"), QStringLiteral("battery-good-symbolic")},
      {QStringLiteral("plus"), QStringLiteral("list-add-symbolic")},
      {QStringLiteral("checkmark"), QStringLiteral("object-select-symbolic")},
      {QStringLiteral("rectangle.3.group"), QStringLiteral("view-dual-symbolic")},
      {QStringLiteral("slider.horizontal.3"), QStringLiteral("document-edit-symbolic")},
      {QStringLiteral("arrow.up.left.and.arrow.down.right"), QStringLiteral("view-fullscreen-symbolic")},
      {QStringLiteral("xmark.circle.fill"), QStringLiteral("window-close-symbolic")},
      {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
      {QStringLiteral("square.and.arrow.up"), QStringLiteral("document-send-symbolic")},
      {QStringLiteral("trash"), QStringLiteral("user-trash-symbolic")},
      {QStringLiteral("sidebar.trailing"), QStringLiteral("sidebar-show-right-symbolic")},
      {QStringLiteral("arrow.right.circle"), QStringLiteral("go-next-symbolic")},
      // States and badges
      {QStringLiteral("checkmark.circle"), QStringLiteral("emblem-default-symbolic")},
      {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-default-symbolic")},
      {QStringLiteral("checkmark.seal"), QStringLiteral("emblem-default-symbolic")},
      {QStringLiteral("info.circle"), QStringLiteral("help-about-symbolic")},
      {QStringLiteral("info.circle.fill"), QStringLiteral("help-about-symbolic")},
      {QStringLiteral("exclamationmark.triangle"), QStringLiteral("dialog-warning-symbolic")},
      {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning-symbolic")},
      {QStringLiteral("exclamationmark.octagon.fill"), QStringLiteral("dialog-error-symbolic")},
      {QStringLiteral("xmark.octagon"), QStringLiteral("process-stop-symbolic")},
      {QStringLiteral("minus.circle"), QStringLiteral("list-remove-symbolic")},
      {QStringLiteral("lock"), QStringLiteral("changes-prevent-symbolic")},
      {QStringLiteral("wifi"), QStringLiteral("network-wireless-symbolic")},
      {QStringLiteral("wifi.slash"), QStringLiteral("network-wireless-offline-symbolic")},
      {QStringLiteral("cable.connector"), QStringLiteral("network-wired-symbolic")},
      {QStringLiteral("cable.connector.slash"), QStringLiteral("network-wired-disconnected-symbolic")},
      {QStringLiteral("externaldrive"), QStringLiteral("drive-removable-media-symbolic")},
      {QStringLiteral("externaldrive.connected.to.line.below"), QStringLiteral("folder-remote-symbolic")},
      {QStringLiteral("app.fill"), QStringLiteral("application-x-executable-symbolic")},
      // Settings tabs and the privacy list
      {QStringLiteral("waveform.path.ecg"), QStringLiteral("@pulse")},
      {QStringLiteral("clock.arrow.circlepath"), QStringLiteral("document-open-recent-symbolic")},
      {QStringLiteral("menubar.rectangle"), QStringLiteral("focus-top-bar-symbolic")},
      {QStringLiteral("hand.raised"), QStringLiteral("preferences-system-privacy-symbolic")},
      {QStringLiteral("person.crop.circle.badge.xmark"), QStringLiteral("user-not-tracked-symbolic")},
      {QStringLiteral("lock.shield"), QStringLiteral("channel-secure-symbolic")},
      {QStringLiteral("checkmark.shield"), QStringLiteral("security-high-symbolic")},
  };
  return map;
}

QString mapped(const QString& symbol) {
  return table().value(symbol);
}

// Draws the symbol's shape (any colour) into a transparent image of the given pixel size.
QImage shape(const QString& symbol, int pixels) {
  const QString target = mapped(symbol);
  if (target.isEmpty() || pixels < 1) return {};
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (target.startsWith(QLatin1Char('@'))) {
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(target.mid(1)));
    if (!renderer.isValid()) return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
  } else {
    const QIcon themed = QIcon::fromTheme(target);
    if (themed.isNull()) return {};
    const QPixmap drawn = themed.pixmap(QSize(pixels, pixels), 1.0);
    if (drawn.isNull()) return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize size = drawn.size().scaled(pixels, pixels, Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(QPoint((pixels - size.width()) / 2, (pixels - size.height()) / 2), size), drawn);
  }
  return image;
}

// Symbolic icons: keep the shape's coverage, take the tint's colour. A live tint is resolved
// whenever a pixmap is asked for: widgets ask on every paint, and a palette change repaints.
class TintedEngine : public QIconEngine {
 public:
  TintedEngine(QString symbol, QColor tint) : symbol_(std::move(symbol)), tint_(tint) {}
  TintedEngine(QString symbol, ChartColor live, const QWidget* context)
      : symbol_(std::move(symbol)), live_(live), context_(context) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal dpr = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    const int side = std::min(rect.width(), rect.height());
    const QPixmap drawn = Icons::pixmap(symbol_, side, colour(mode), dpr);
    Q_UNUSED(state);
    if (drawn.isNull()) return;
    painter->drawPixmap(
        QRect(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side),
        drawn);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    return Icons::pixmap(symbol_, std::min(size.width(), size.height()), colour(mode));
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
    return Icons::pixmap(symbol_, std::min(size.width(), size.height()), colour(mode), scale);
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    return {side, side};
  }

  QIconEngine* clone() const override { return new TintedEngine(*this); }
  QString key() const override { return QStringLiteral("kivo-tinted"); }
  bool isNull() override { return false; }

 private:
  TintedEngine(const TintedEngine&) = default;

  QColor colour(QIcon::Mode mode) const {
    const QColor tint = live_ ? live_->resolve(context_.data()) : tint_;
    if (mode != QIcon::Disabled) return tint;
    QColor faded = tint;
    faded.setAlphaF(faded.alphaF() * 0.4f);
    return faded;
  }

  QString symbol_;
  QColor tint_;
  std::optional<ChartColor> live_;
  QPointer<const QWidget> context_;
};

}  // namespace

void initResources() {
  static const bool done = [] {
    kivoInitDesignResources();
    // Without a desktop platform theme (offscreen, a bare X server) Qt searches no icon folder
    // and names no theme: add the XDG ones and read Adwaita.
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList xdg = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& path : xdg) {
      if (!paths.contains(path)) paths << path;
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
      QIcon::setThemeName(QStringLiteral("Adwaita"));
    return true;
  }();
  Q_UNUSED(done);
}

QStringList symbols() {
  QStringList names = table().keys();
  names.sort();
  return names;
}

QString themeName(const QString& symbol) {
  const QString target = mapped(symbol);
  return target.startsWith(QLatin1Char('@')) ? QString() : target;
}

QString resourcePath(const QString& symbol) {
  const QString target = mapped(symbol);
  return target.startsWith(QLatin1Char('@')) ? QStringLiteral(":/icons/%1.svg").arg(target.mid(1))
                                             : QString();
}

QIcon icon(const QString& symbol, const QColor& tint) {
  if (!table().contains(symbol)) return {};
  return QIcon(new TintedEngine(symbol, tint));
}

QIcon icon(const QString& symbol, ChartColor tint, const QWidget* context) {
  if (!table().contains(symbol)) return {};
  return QIcon(new TintedEngine(symbol, tint, context));
}

QPixmap pixmap(const QString& symbol, int size, const QColor& tint, qreal devicePixelRatio) {
  if (size < 1 || !table().contains(symbol)) return {};
  const qreal dpr = std::isfinite(devicePixelRatio) && devicePixelRatio > 0 ? devicePixelRatio : 1.0;
  const int pixels = std::max(1, qRound(size * dpr));
  const QString key = QStringLiteral("kivo-icon:%1:%2:%3").arg(symbol).arg(pixels).arg(tint.rgba(), 8, 16);
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) {
    cached.setDevicePixelRatio(dpr);
    return cached;
  }
  QImage image = shape(symbol, pixels);
  if (image.isNull()) return {};
  {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), tint);
  }
  QPixmap result = QPixmap::fromImage(std::move(image));
  QPixmapCache::insert(key, result);
  result.setDevicePixelRatio(dpr);
  return result;
}

QIcon applicationIcon() {
  initResources();
  return QIcon(QStringLiteral(":/kivo-monitor.svg"));
}

}  // namespace kivo::Icons
