#include "desktop/StatusNotifierItem.h"

#include "desktop/DBusMenu.h"
#include "desktop/DesktopLog.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QtEndian>

#include <atomic>

namespace kivo {

const QString StatusNotifierItem::kPath = QStringLiteral("/StatusNotifierItem");
const QString StatusNotifierItem::kMenuPath = QStringLiteral("/MenuBar");

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierImage& image) {
  argument.beginStructure();
  argument << image.width << image.height << image.pixels;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierImage& image) {
  argument.beginStructure();
  argument >> image.width >> image.height >> image.pixels;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip) {
  argument.beginStructure();
  argument << tip.iconName << tip.icon << tip.title << tip.text;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip) {
  argument.beginStructure();
  argument >> tip.iconName >> tip.icon >> tip.title >> tip.text;
  argument.endStructure();
  return argument;
}

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// A watcher that just took its name may not answer yet.
constexpr int kRetryMs = 1'000;
constexpr int kAttempts = 5;

class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ category)
  Q_PROPERTY(QString Id READ id)
  Q_PROPERTY(QString Title READ title)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(int WindowId READ windowId)
  Q_PROPERTY(QString IconThemePath READ empty)
  Q_PROPERTY(QString IconName READ empty)
  Q_PROPERTY(kivo::StatusNotifierImages IconPixmap READ iconPixmap)
  Q_PROPERTY(QString OverlayIconName READ empty)
  Q_PROPERTY(kivo::StatusNotifierImages OverlayIconPixmap READ none)
  Q_PROPERTY(QString AttentionIconName READ empty)
  Q_PROPERTY(kivo::StatusNotifierImages AttentionIconPixmap READ none)
  Q_PROPERTY(QString AttentionMovieName READ empty)
  Q_PROPERTY(kivo::StatusNotifierToolTip ToolTip READ toolTip)
  Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
  Q_PROPERTY(QDBusObjectPath Menu READ menu)

 public:
  explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), item_(item) {
    setAutoRelaySignals(true);
  }
  QString category() const { return QStringLiteral("ApplicationStatus"); }
  QString id() const { return item_->id(); }
  QString title() const { return item_->title(); }
  QString status() const { return QStringLiteral("Active"); }
  int windowId() const { return 0; }
  QString empty() const { return {}; }
  StatusNotifierImages iconPixmap() const { return item_->icon(); }
  StatusNotifierImages none() const { return {}; }
  StatusNotifierToolTip toolTip() const { return item_->toolTip(); }
  bool itemIsMenu() const { return false; }
  QDBusObjectPath menu() const { return QDBusObjectPath(StatusNotifierItem::kMenuPath); }

 public slots:
  void Activate(int x, int y) { emit item_->activated(QPoint(x, y)); }
  void SecondaryActivate(int x, int y) { emit item_->menuRequested(QPoint(x, y)); }
  void ContextMenu(int x, int y) { emit item_->menuRequested(QPoint(x, y)); }
  void Scroll(int, const QString&) {}

 signals:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  StatusNotifierItem* item_;
};

void registerTypes() {
  static const bool done = [] {
    qDBusRegisterMetaType<StatusNotifierImage>();
    qDBusRegisterMetaType<StatusNotifierImages>();
    qDBusRegisterMetaType<StatusNotifierToolTip>();
    return true;
  }();
  (void)done;
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(const QDBusConnection& bus, const QString& id, const QString& title,
                                       const QList<QAction*>& menu, QObject* parent)
    : QObject(parent), bus_(bus), id_(id), title_(title) {
  registerTypes();
  toolTip_.title = title;
  new StatusNotifierItemAdaptor(this);
  menu_ = new DBusMenu(menu, this);
  if (!bus_.isConnected()) return;
  // A name of our own, as hosts expect: one per item made in this process.
  static std::atomic<int> instances{0};
  const QString service = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(++instances);
  if (!bus_.registerObject(kPath, this, QDBusConnection::ExportAdaptors) ||
      !bus_.registerObject(kMenuPath, menu_, QDBusConnection::ExportAdaptors) ||
      !bus_.registerService(service)) {
    qCDebug(desktopLog) << "The tray item could not be put on the session bus:" << bus_.lastError().message();
    bus_.unregisterObject(kPath);
    bus_.unregisterObject(kMenuPath);
    return;
  }
  service_ = service;
  registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem() {
  if (service_.isEmpty()) return;
  // Watchers drop an item whose name goes.
  bus_.unregisterService(service_);
  bus_.unregisterObject(kMenuPath);
  bus_.unregisterObject(kPath);
}

void StatusNotifierItem::registerWithWatcher() {
  ++generation_;
  registerAttempt(1);
}

void StatusNotifierItem::registerAttempt(int attempt) {
  if (service_.isEmpty()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                                     QStringLiteral("RegisterStatusNotifierItem"));
  call << service_;
  auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  const int generation = generation_;
  connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, attempt, generation] {
    pending->deleteLater();
    if (generation != generation_) return;  // a newer registration is under way
    if (!pending->isError()) {
      emit registered();
      return;
    }
    if (attempt < kAttempts) {
      QTimer::singleShot(kRetryMs, this, [this, attempt, generation] {
        if (generation == generation_) registerAttempt(attempt + 1);
      });
    }
  });
}

StatusNotifierImages StatusNotifierItem::images(const QList<QImage>& sizes) {
  StatusNotifierImages out;
  for (const QImage& size : sizes) {
    const QImage image = size.convertToFormat(QImage::Format_ARGB32);
    StatusNotifierImage entry{image.width(), image.height(), {}};
    entry.pixels.resize(qsizetype(image.width()) * image.height() * 4);
    auto* to = reinterpret_cast<uchar*>(entry.pixels.data());
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x, to += 4) qToBigEndian(line[x], to);
    }
    out << entry;
  }
  return out;
}

void StatusNotifierItem::setIcon(const QList<QImage>& sizes) {
  icon_ = images(sizes);
  emit NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& title, const QString& text) {
  toolTip_.title = title;
  toolTip_.text = text;
  emit NewToolTip();
}

}  // namespace kivo

#include "StatusNotifierItem.moc"
