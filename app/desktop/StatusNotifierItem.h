#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QDBusArgument;

namespace kivo {

class DBusMenu;

// (iiay): one icon size, ARGB32 in network byte order.
struct StatusNotifierImage {
  int width = 0;
  int height = 0;
  QByteArray pixels;
};
using StatusNotifierImages = QList<StatusNotifierImage>;

// (sa(iiay)ss): the tooltip's icon name, icon, title and text.
struct StatusNotifierToolTip {
  QString iconName;
  StatusNotifierImages icon;
  QString title;
  QString text;
};

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierImage& image);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierImage& image);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip);

// The application's item for StatusNotifier hosts: the org.kde.StatusNotifierItem interface at
// /StatusNotifierItem under a bus name of its own, with its menu at /MenuBar, registered with
// the org.kde.StatusNotifierWatcher. A host's Activate asks for the panel; ContextMenu and
// SecondaryActivate ask for the menu (hosts that draw menus themselves read /MenuBar).
class StatusNotifierItem : public QObject {
  Q_OBJECT
 public:
  static const QString kPath;
  static const QString kMenuPath;

  // Exported on `bus` at once and registered with the watcher if one is there. `menu`: the
  // actions of the tray menu, which must outlive the item.
  StatusNotifierItem(const QDBusConnection& bus, const QString& id, const QString& title,
                     const QList<QAction*>& menu, QObject* parent = nullptr);
  ~StatusNotifierItem() override;

  // The bus name the item is registered under; empty when it could not be exported.
  const QString& serviceName() const { return service_; }

  void setIcon(const QList<QImage>& sizes);
  void setToolTip(const QString& title, const QString& text);

  // The images as the interface carries them.
  static StatusNotifierImages images(const QList<QImage>& sizes);

  // What the adaptor reads.
  const QString& id() const { return id_; }
  const QString& title() const { return title_; }
  const StatusNotifierImages& icon() const { return icon_; }
  const StatusNotifierToolTip& toolTip() const { return toolTip_; }

 public slots:
  // Asks the watcher to show the item (again, for a watcher that just took over the name);
  // retried a few times while the watcher is not ready to answer.
  void registerWithWatcher();

 signals:
  void activated(const QPoint& at);
  void menuRequested(const QPoint& at);
  // The watcher accepted the item.
  void registered();

  // Relayed to hosts by the adaptor.
  void NewIcon();
  void NewToolTip();

 private:
  void registerAttempt(int attempt);

  QDBusConnection bus_;
  QString id_;
  QString title_;
  QString service_;
  StatusNotifierImages icon_;
  StatusNotifierToolTip toolTip_;
  DBusMenu* menu_ = nullptr;  // owned (a child)
  int generation_ = 0;
};

}  // namespace kivo

Q_DECLARE_METATYPE(kivo::StatusNotifierImage)
Q_DECLARE_METATYPE(kivo::StatusNotifierToolTip)
