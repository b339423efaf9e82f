#include "design/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>

namespace kivo::Accessibility {

namespace {

constexpr const char* kRole = "kivoAccessibleRole";
constexpr const char* kDecoration = "kivoDecoration";

bool isDecoration(const QObject* object) {
  return object->property(kDecoration).toBool();
}

// A widget with the role it was given, without its decorative children. A button keeps its
// press and toggle actions and its checked state.
class Interface : public QAccessibleWidget {
 public:
  Interface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget());
        button && button->isCheckable()) {
      state.checkable = true;
      state.checked = button->isChecked();
      state.selectable = true;
      state.selected = button->isChecked();
    }
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (qobject_cast<const QAbstractButton*>(widget()) && widget()->isEnabled()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& name) override {
    auto* button = qobject_cast<QAbstractButton*>(widget());
    if (button && name == pressAction()) {
      if (button->isEnabled()) button->click();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

  int childCount() const override { return int(children().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> list = children();
    if (index < 0 || index >= list.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(list.at(index));
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    return int(children().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  // The children the default interface lists, less the decorations.
  QList<QWidget*> children() const {
    QList<QWidget*> list;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
      QAccessibleInterface* child = QAccessibleWidget::child(i);
      auto* w = child != nullptr ? qobject_cast<QWidget*>(child->object()) : nullptr;
      if (w != nullptr && !isDecoration(w)) list << w;
    }
    return list;
  }
};

// A check box whose Toggle action clicks it, as the pointer and Space do: the toolkit's own
// only flips its state, which the pages, listening to clicks, never hear of.
class CheckBoxInterface : public QAccessibleWidget {
 public:
  explicit CheckBoxInterface(QCheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

  // Its own name, else its text; the group box around it only where it has neither.
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty() && !box()->text().isEmpty())
      return box()->text().remove(QLatin1Char('&'));
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = box()->checkState() == Qt::Checked;
    state.checkStateMixed = box()->checkState() == Qt::PartiallyChecked;
    state.pressed = box()->isDown();
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (box()->isEnabled()) names.prepend(toggleAction());
    return names;
  }

  void doAction(const QString& name) override {
    if (name == toggleAction()) {
      if (box()->isEnabled()) box()->click();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget()); }
};

// True when the nearest Qt class of the widget has no interface of its own beyond the plain one.
bool plainContainer(const QObject* object) {
  for (const QMetaObject* meta = object->metaObject(); meta != nullptr; meta = meta->superClass()) {
    const QLatin1StringView name(meta->className());
    if (name.startsWith(QLatin1StringView("Q")))
      return name == QLatin1StringView("QWidget") || name == QLatin1StringView("QFrame");
  }
  return false;
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  // Asked once per class up the hierarchy: answer for the most derived one only.
  if (widget == nullptr || className != QLatin1StringView(object->metaObject()->className())) return nullptr;
  const QVariant role = widget->property(kRole);
  if (role.isValid()) return new Interface(widget, QAccessible::Role(role.toInt()));
  if (auto* box = qobject_cast<QCheckBox*>(widget)) return new CheckBoxInterface(box);
  // A plain container is what the default would give, less the decorations among its children.
  if (plainContainer(widget)) return new Interface(widget, QAccessible::Client);
  return nullptr;
}

// Installed as the application starts, before any widget is asked for its interface: one made
// without the factory is cached for the widget's life.
void installFactory() {
  QAccessible::installFactory(factory);
}
Q_COREAPP_STARTUP_FUNCTION(installFactory)

// The last factory installed is asked first. The toolkit installs its own for its widget classes
// after the line above, and answers for a plain QWidget or QFrame before ours would: ours moves
// behind it once, when the first widget takes a role or hides a decoration.
void askOursFirst() {
  static const bool moved = [] {
    QAccessible::removeFactory(factory);
    QAccessible::installFactory(factory);
    return true;
  }();
  (void)moved;
}

// Sees the key presses that reach the window, those no widget on the way took.
class ReturnPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* window = static_cast<QWidget*>(watched);
    auto* button = qobject_cast<QAbstractButton*>(window->focusWidget());
    const bool pressable = button != nullptr && !button->isCheckable() && button->isEnabled() &&
                           (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button));
    if (!pressable) return false;
    button->click();
    return true;
  }
};

}  // namespace

void pressWithReturn(QWidget* window) {
  window->installEventFilter(new ReturnPresses(window));
}

void labelWith(QWidget* control, QLabel* label) {
  label->setBuddy(control);
  QString text = label->text();
  text.remove(QLatin1Char('&'));
  control->setAccessibleName(text);
}

void nameAfterPlaceholder(QLineEdit* field) {
  field->setAccessibleName(field->placeholderText());
}

void setRole(QWidget* widget, QAccessible::Role role) {
  askOursFirst();
  widget->setProperty(kRole, int(role));
  // With a screen reader listening, a change the widget announced before (its text, its name)
  // made and cached the interface of its class; drop that one so the factory is asked again.
  QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
  if (made != nullptr && made->role() != role)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void hideDecoration(QWidget* decoration) {
  askOursFirst();
  decoration->setProperty(kDecoration, true);
}

void openWithF10(QMenuBar* bar) {
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F10), bar->window());
  QObject::connect(shortcut, &QShortcut::activated, bar, [bar] {
    const QList<QAction*> menus = bar->actions();
    if (!menus.isEmpty()) bar->setActiveAction(menus.first());
  });
}

}  // namespace kivo::Accessibility
