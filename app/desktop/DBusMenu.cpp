#include "desktop/DBusMenu.h"

#include <QAction>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMetaType>

namespace kivo {

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayout& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.beginArray(qMetaTypeId<QDBusVariant>());
  for (const DBusMenuLayout& child : item.children) argument << QDBusVariant(QVariant::fromValue(child));
  argument.endArray();
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayout& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  argument.beginArray();
  item.children.clear();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    const QVariant value = child.variant();
    if (value.canConvert<QDBusArgument>()) {
      DBusMenuLayout entry;
      value.value<QDBusArgument>() >> entry;
      item.children << entry;
    } else if (value.canConvert<DBusMenuLayout>()) {
      item.children << value.value<DBusMenuLayout>();
    }
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
  argument.beginStructure();
  argument << event.id << event.eventId << event.data << event.timestamp;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
  argument.beginStructure();
  argument >> event.id >> event.eventId >> event.data >> event.timestamp;
  argument.endStructure();
  return argument;
}

namespace {

// The interface itself, as QtDBus exports it from the menu's slots and properties.
class DBusMenuAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ version)
  Q_PROPERTY(QString TextDirection READ textDirection)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

 public:
  explicit DBusMenuAdaptor(DBusMenu* menu) : QDBusAbstractAdaptor(menu), menu_(menu) {
    connect(menu, &DBusMenu::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
  }
  uint version() const { return 3; }
  QString textDirection() const { return QStringLiteral("ltr"); }
  QString status() const { return QStringLiteral("normal"); }
  QStringList iconThemePath() const { return {}; }

 public slots:
  // Types spelled in full: QtDBus looks them up by the names written here.
  uint GetLayout(int parentId, int, const QStringList&, kivo::DBusMenuLayout& layout) {
    layout = menu_->layout(parentId);
    return menu_->revision();
  }
  QList<kivo::DBusMenuItem> GetGroupProperties(const QList<int>& ids, const QStringList&) {
    QList<DBusMenuItem> items;
    for (int id : ids) items << DBusMenuItem{id, menu_->properties(id)};
    return items;
  }
  QDBusVariant GetProperty(int id, const QString& name) {
    return QDBusVariant(menu_->properties(id).value(name));
  }
  void Event(int id, const QString& eventId, const QDBusVariant&, uint) { menu_->handleEvent(id, eventId); }
  QList<int> EventGroup(const QList<kivo::DBusMenuEvent>& events) {
    QList<int> errors;
    for (const DBusMenuEvent& event : events) {
      if (!menu_->handleEvent(event.id, event.eventId)) errors << event.id;
    }
    return errors;
  }
  bool AboutToShow(int) { return false; }
  QList<int> AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
    idErrors.clear();
    return {};
  }

 signals:
  void LayoutUpdated(uint revision, int parent);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  DBusMenu* menu_;
};

// "&Open" → "_Open", "&&" → "&", "_" → "__".
QString label(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('_')) {
      out += QStringLiteral("__");
    } else if (c == QLatin1Char('&') && i + 1 < text.size()) {
      out += text.at(i + 1) == QLatin1Char('&') ? QChar(QLatin1Char('&')) : QChar(QLatin1Char('_'));
      if (text.at(i + 1) == QLatin1Char('&')) ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

void DBusMenu::registerTypes() {
  static const bool done = [] {
    qDBusRegisterMetaType<DBusMenuLayout>();
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<QList<DBusMenuItem>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
    return true;
  }();
  (void)done;
}

DBusMenu::DBusMenu(const QList<QAction*>& actions, QObject* parent) : QObject(parent) {
  registerTypes();
  new DBusMenuAdaptor(this);
  for (QAction* action : actions) {
    actions_ << action;
    connect(action, &QAction::changed, this, [this] { emit layoutUpdated(++revision_, 0); });
  }
}

QVariantMap DBusMenu::properties(int id) const {
  if (id == 0) return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
  if (id < 1 || id > actions_.size() || !actions_.at(id - 1)) return {};
  const QAction* action = actions_.at(id - 1);
  if (action->isSeparator()) return {{QStringLiteral("type"), QStringLiteral("separator")}};
  QVariantMap map{{QStringLiteral("label"), label(action->text())}};
  if (!action->isEnabled()) map.insert(QStringLiteral("enabled"), false);
  if (!action->isVisible()) map.insert(QStringLiteral("visible"), false);
  return map;
}

DBusMenuLayout DBusMenu::layout(int parentId) const {
  DBusMenuLayout root{parentId, properties(parentId), {}};
  if (parentId != 0) return root;
  for (int id = 1; id <= actions_.size(); ++id) {
    if (actions_.at(id - 1)) root.children << DBusMenuLayout{id, properties(id), {}};
  }
  return root;
}

bool DBusMenu::handleEvent(int id, const QString& eventId) {
  if (id < 1 || id > actions_.size() || !actions_.at(id - 1)) return false;
  // Triggered after the call returns: an action may quit or open a window.
  if (eventId == QLatin1String("clicked")) {
    QMetaObject::invokeMethod(actions_.at(id - 1).data(), &QAction::trigger, Qt::QueuedConnection);
  }
  return true;
}

}  // namespace kivo

#include "DBusMenu.moc"
