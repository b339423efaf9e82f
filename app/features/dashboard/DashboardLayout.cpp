#include "features/dashboard/DashboardLayout.h"

#include "features/dashboard/WidgetCatalog.h"
#include "settings/UuidText.h"

#include <algorithm>
#include <utility>

namespace kivo::DashboardLayout {

namespace {

Widgets::iterator find(Widgets& widgets, const QUuid& id) {
  return std::find_if(widgets.begin(), widgets.end(),
                      [&](const WidgetConfig& widget) { return widget.id == id; });
}

bool isBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

}  // namespace

Widgets added(Widgets widgets, WidgetKind kind) {
  widgets.emplace_back(kind, WidgetCatalog::defaultSize(kind));
  return widgets;
}

Widgets removed(Widgets widgets, const QUuid& id) {
  std::erase_if(widgets, [&](const WidgetConfig& widget) { return widget.id == id; });
  return widgets;
}

Widgets resized(Widgets widgets, const QUuid& id, WidgetSize size) {
  if (const auto it = find(widgets, id); it != widgets.end()) it->size = size;
  return widgets;
}

Widgets shifted(Widgets widgets, const QUuid& id, int step) {
  const auto it = find(widgets, id);
  if (it == widgets.end()) return widgets;
  const auto index = static_cast<long long>(it - widgets.begin());
  const auto last = static_cast<long long>(widgets.size()) - 1;
  const long long other = std::clamp(index + step, 0LL, last);
  std::swap(widgets[static_cast<std::size_t>(index)], widgets[static_cast<std::size_t>(other)]);
  return widgets;
}

Widgets moved(Widgets widgets, const QUuid& dragged, const QUuid& target) {
  if (dragged == target) return widgets;
  const auto it = find(widgets, dragged);
  if (it == widgets.end()) return widgets;
  WidgetConfig widget = *it;
  widgets.erase(it);
  widgets.insert(find(widgets, target), widget);
  return widgets;
}

QString dragPayload(const QUuid& id) {
  return UuidText::format(id);
}

std::optional<QUuid> parsePayload(const QString& text) {
  return UuidText::parse(text);
}

QString trimmedName(const QString& name) {
  qsizetype begin = 0;
  qsizetype end = name.size();
  while (begin < end && isBlank(name[begin])) ++begin;
  while (end > begin && isBlank(name[end - 1])) --end;
  return name.mid(begin, end - begin);
}

}  // namespace kivo::DashboardLayout
