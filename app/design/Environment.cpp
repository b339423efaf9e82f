#include "design/Environment.h"

#include <QCoreApplication>
#include <QLayout>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace kivo::Environment {
namespace {

constexpr const char* kDensity = "kivoDensity";
constexpr const char* kColorBlindSafe = "kivoColorBlindSafe";

QVariant lookUp(const QWidget* widget, const char* name) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const QVariant value = w->property(name);
    if (value.isValid()) return value;
  }
  return {};
}

}  // namespace

double density(const QWidget* widget) {
  const QVariant value = lookUp(widget, kDensity);
  bool ok = false;
  const double d = value.toDouble(&ok);
  return ok && std::isfinite(d) && d > 0 ? d : 1.0;
}

bool colorBlindSafe(const QWidget* widget) {
  return lookUp(widget, kColorBlindSafe).toBool();
}

void apply(QWidget* root, double value, bool safe) {
  if (root == nullptr) return;
  root->setProperty(kDensity, std::isfinite(value) && value > 0 ? value : 1.0);
  root->setProperty(kColorBlindSafe, safe);
  QEvent event(changedEventType());
  QCoreApplication::sendEvent(root, &event);
  for (QWidget* child : root->findChildren<QWidget*>()) {
    QCoreApplication::sendEvent(child, &event);
    child->updateGeometry();
    child->update();
  }
  if (root->layout() != nullptr) root->layout()->invalidate();
  root->updateGeometry();
  root->update();
}

double densityValue(DensityChoice choice) {
  switch (choice) {
    case DensityChoice::compact:
      return 0.72;
    case DensityChoice::regular:
      return 1.0;
    case DensityChoice::comfortable:
      return 1.25;
  }
  return 1.0;
}

QEvent::Type changedEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace kivo::Environment
