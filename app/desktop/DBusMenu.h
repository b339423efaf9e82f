#pragma once

#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QDBusArgument;

namespace kivo {

// One entry of a com.canonical.dbusmenu layout, (ia{sv}av): an id, its properties and its
// children, each wrapped in a variant.
struct DBusMenuLayout {
  int id = 0;
  QVariantMap properties;
  QList<DBusMenuLayout> children;
};

// (ia{sv}): the properties of one entry.
struct DBusMenuItem {
  int id = 0;
  QVariantMap properties;
};

// (isvu): one event of EventGroup.
struct DBusMenuEvent {
  int id = 0;
  QString eventId;
  QDBusVariant data;
  uint timestamp = 0;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayout& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayout& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

// A flat menu of actions offered over com.canonical.dbusmenu, for tray hosts that draw the
// item's menu themselves. Entry n is the n-th action (from 1; 0 is the root); a click triggers
// it. A change of any action's text or state publishes a new layout revision.
class DBusMenu : public QObject {
  Q_OBJECT
 public:
  // The actions must outlive the menu, or be removed from it first by going away (they are held
  // weakly: a gone action is left out).
  explicit DBusMenu(const QList<QAction*>& actions, QObject* parent = nullptr);

  // Registers the D-Bus types once per process; done by the constructor.
  static void registerTypes();

  uint revision() const { return revision_; }
  // The layout below `parentId` as a host asks for it.
  DBusMenuLayout layout(int parentId) const;
  QVariantMap properties(int id) const;
  // A host's event on entry `id`: "clicked" triggers the action. False for an unknown entry.
  bool handleEvent(int id, const QString& eventId);

 signals:
  void layoutUpdated(uint revision, int parent);

 private:
  QList<QPointer<QAction>> actions_;
  uint revision_ = 1;
};

}  // namespace kivo

Q_DECLARE_METATYPE(kivo::DBusMenuLayout)
Q_DECLARE_METATYPE(kivo::DBusMenuItem)
Q_DECLARE_METATYPE(kivo::DBusMenuEvent)
