#pragma once

#include "settings/DashboardPreset.h"

#include <QString>
#include <QUuid>

#include <functional>
#include <optional>
#include <vector>

namespace kivo {

class AppSettings;
struct SystemInfo;
class ValueFormatter;

// One entry of the Layout menu, in order.
struct LayoutMenuEntry {
  enum class Role { preset, divider, saveAs, reset, remove, openWindow };
  Role role = Role::divider;
  QString text;
  QUuid presetID;  // for Role::preset
  bool checked = false;
};

// The dashboard's state and operations on the settings, with no widgets: which preset is shown
// and every change the page's controls make. Each edit reads the preset's list from the
// settings afresh, changes a copy and writes it back (even when it did not change).
class DashboardEditor {
 public:
  DashboardEditor(AppSettings& settings, const QUuid& presetID, bool detached);

  const QUuid& presetID() const { return presetID_; }
  bool isDetached() const { return detached_; }
  // The preset shown: the settings' preset of presetID (their first one when none has it).
  DashboardPreset preset() const;

  // Shows another preset; the main window's page also makes it the selected one.
  void select(const QUuid& id);
  // The settings' selection changed elsewhere: the main window's page follows, a detached one
  // stays. True when the shown preset changed.
  bool followSelection();
  // When presetID names no preset (a fresh window, or a preset deleted elsewhere), takes the id
  // of the preset shown so edits and the check mark act on a real preset. True when it did.
  bool adoptShownPreset();

  void add(WidgetKind kind);
  void remove(const QUuid& widget);
  void resize(const QUuid& widget, WidgetSize size);
  void shift(const QUuid& widget, int step);
  // False (and nothing written) when a card is dropped onto itself.
  bool move(const QUuid& dragged, const QUuid& target);
  void mutate(const std::function<std::vector<WidgetConfig>(std::vector<WidgetConfig>)>& change);

  // "Save": a copy of the shown preset under the trimmed name, then shown; a blank name makes
  // nothing. The new id, if any.
  std::optional<QUuid> saveAs(const QString& name);
  // "Reset to Default" (built-in) or "Delete Layout" (custom: Overview is shown first).
  void resetOrDelete();

  // The Layout menu for the preset shown.
  std::vector<LayoutMenuEntry> layoutMenu() const;

  // A built-in preset's name localised, a custom one's as stored.
  static QString displayName(const DashboardPreset& preset);
  // What an empty dashboard says: Add Widget shows only while editing, so outside editing it
  // names Edit first.
  static QString emptyText(bool editing);
  // "chip · operating system · memory".
  static QString systemLine(const SystemInfo& system, const ValueFormatter& format);

 private:
  AppSettings& settings_;
  QUuid presetID_;
  bool detached_;
};

}  // namespace kivo
