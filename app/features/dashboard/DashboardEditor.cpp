#include "features/dashboard/DashboardEditor.h"
#include "metrics/OutsideText.h"

#include "collectors/SystemInfo.h"
#include "features/dashboard/DashboardLayout.h"
#include "metrics/ValueFormatter.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <algorithm>

namespace kivo {

DashboardEditor::DashboardEditor(AppSettings& settings, const QUuid& presetID, bool detached)
    : settings_(settings), presetID_(presetID), detached_(detached) {
  adoptShownPreset();
}

DashboardPreset DashboardEditor::preset() const {
  return settings_.preset(presetID_);
}

void DashboardEditor::select(const QUuid& id) {
  presetID_ = id;
  if (!detached_) settings_.setSelectedPreset(id);
  adoptShownPreset();
}

bool DashboardEditor::followSelection() {
  if (detached_ || presetID_ == settings_.selectedPreset()) return false;
  presetID_ = settings_.selectedPreset();
  adoptShownPreset();
  return true;
}

bool DashboardEditor::adoptShownPreset() {
  const auto& presets = settings_.presets();
  const bool known =
      std::any_of(presets.begin(), presets.end(), [&](const auto& p) { return p.id == presetID_; });
  if (known) return false;
  const QUuid shown = settings_.preset(presetID_).id;
  if (shown == presetID_) return false;
  presetID_ = shown;
  return true;
}

void DashboardEditor::mutate(
    const std::function<std::vector<WidgetConfig>(std::vector<WidgetConfig>)>& change) {
  settings_.updateWidgets(change(settings_.preset(presetID_).widgets), presetID_);
}

void DashboardEditor::add(WidgetKind kind) {
  mutate([kind](auto widgets) { return DashboardLayout::added(std::move(widgets), kind); });
}

void DashboardEditor::remove(const QUuid& widget) {
  mutate([&](auto widgets) { return DashboardLayout::removed(std::move(widgets), widget); });
}

void DashboardEditor::resize(const QUuid& widget, WidgetSize size) {
  mutate([&](auto widgets) { return DashboardLayout::resized(std::move(widgets), widget, size); });
}

void DashboardEditor::shift(const QUuid& widget, int step) {
  mutate([&](auto widgets) { return DashboardLayout::shifted(std::move(widgets), widget, step); });
}

bool DashboardEditor::move(const QUuid& dragged, const QUuid& target) {
  if (dragged == target) return false;
  mutate([&](auto widgets) { return DashboardLayout::moved(std::move(widgets), dragged, target); });
  return true;
}

std::optional<QUuid> DashboardEditor::saveAs(const QString& name) {
  const QString trimmed = DashboardLayout::trimmedName(name);
  if (trimmed.isEmpty()) return std::nullopt;
  const QUuid id = settings_.duplicatePreset(presetID_, trimmed);
  select(id);
  return id;
}

void DashboardEditor::resetOrDelete() {
  if (preset().isBuiltIn) {
    settings_.resetBuiltIn(presetID_);
    return;
  }
  const QUuid shown = presetID_;
  select(DashboardPreset::overviewID);
  settings_.deletePreset(shown);
}

std::vector<LayoutMenuEntry> DashboardEditor::layoutMenu() const {
  using Role = LayoutMenuEntry::Role;
  std::vector<LayoutMenuEntry> entries;
  for (const DashboardPreset& preset : settings_.presets()) {
    entries.push_back({Role::preset, displayName(preset), preset.id, preset.id == presetID_});
  }
  entries.push_back({Role::divider, {}, {}, false});
  entries.push_back({Role::saveAs, kivo::tr("Save Layout As…"), {}, false});
  if (preset().isBuiltIn) {
    entries.push_back({Role::reset, kivo::tr("Reset to Default"), {}, false});
  } else {
    entries.push_back({Role::remove, kivo::tr("Delete Layout"), {}, false});
  }
  if (!detached_) {
    entries.push_back({Role::divider, {}, {}, false});
    entries.push_back({Role::openWindow, kivo::tr("Open in New Window"), {}, false});
  }
  return entries;
}

QString DashboardEditor::displayName(const DashboardPreset& preset) {
  // A saved name may come from a hand-edited settings file.
  return preset.isBuiltIn ? translated(preset.name) : OutsideText::visible(preset.name);
}

QString DashboardEditor::emptyText(bool editing) {
  return editing ? kivo::tr("Use Add Widget to build this dashboard.")
                 : kivo::tr("Choose Edit, then Add Widget, to build this dashboard.");
}

QString DashboardEditor::systemLine(const SystemInfo& system, const ValueFormatter& format) {
  const QString memory =
      system.physicalMemory > 0 ? format.bytes(system.physicalMemory, true) : QStringLiteral("—");
  return kivo::tr("%1 · %2 · %3", OutsideText::visible(system.chip), OutsideText::visible(system.osVersion),
                  memory);
}

}  // namespace kivo
