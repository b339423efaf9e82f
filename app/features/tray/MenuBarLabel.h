#pragma once

#include "features/tray/MenuBarRenderer.h"
#include "settings/MenuBarItem.h"

#include <QString>

#include <optional>
#include <vector>

namespace kivo {

class AppSettings;
class MonitorModel;

// What the tray label shows of the model: one segment per chosen indicator, the alert flag
// and the spoken text. Holds references only; every call reads the newest state.
class MenuBarLabel {
 public:
  // Both must outlive the label.
  MenuBarLabel(const MonitorModel& model, const AppSettings& settings) : model_(model), settings_(settings) {}

  // One segment per indicator of the settings, in their order; the battery is left out when it
  // has nothing to show.
  std::vector<MenuBarRenderer::Segment> segments() const;
  // The same for an explicit list (the exported image shows all five without touching the
  // user's choice).
  std::vector<MenuBarRenderer::Segment> segments(const std::vector<MenuBarItem>& items) const;
  std::optional<MenuBarRenderer::Segment> segment(MenuBarItem item) const;
  bool alert() const;
  MenuBarRenderer image() const { return MenuBarRenderer(segments(), alert()); }
  MenuBarRenderer image(const std::vector<MenuBarItem>& items) const {
    return MenuBarRenderer(segments(items), alert());
  }

  // "KIVO Monitor, CPU 12%, Memory 40%, 2 active alerts": the parts that have a figure, the
  // same whatever indicators are chosen.
  QString accessibilityText() const;
  // The tray icon's tooltip: "KIVO Monitor", then one line per chosen indicator in the
  // settings' order with the figures its segment shows, then the active alerts.
  QString toolTip() const;

 private:
  const MonitorModel& model_;
  const AppSettings& settings_;
};

}  // namespace kivo
