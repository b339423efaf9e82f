#pragma once

#include "features/tray/MenuBarActions.h"

#include <QImage>
#include <QString>

#include <chrono>

class QWidget;

namespace kivo {

class AppSettings;
class MonitorModel;

// The two launch-option hooks for screenshots of the tray item. The shell runs them in order
// after the main window is shown, each delay starting when the previous step has finished:
// KIVOShowMenuPanel YES after kShowPanelDelay, then KIVOExportMenuBar DIR after kExportDelay.
namespace MenuBarHooks {

inline constexpr std::chrono::seconds kShowPanelDelay{8};
inline constexpr std::chrono::seconds kExportDelay{20};
inline constexpr const char* kImageName = "menubar-item.png";

// Shows the panel in an ordinary window titled "Menu Bar Panel", centred on the screen and
// raised. A window from an earlier call is closed and replaced. The window is deleted with the
// model at the latest; the returned pointer is only for tests.
QWidget* showPanel(MonitorModel& model, AppSettings& settings, const MenuBarActions& actions);

// The label with all five indicators (whatever the user chose; the choice is left alone),
// padded 14 × 5 on the item's ground, at the given scale: white on 27, 30, 43 when dark, black on
// 233, 235, 242 when light.
QImage itemImage(const MonitorModel& model, const AppSettings& settings, bool dark, qreal scale = 2);

// Writes DIR/menubar-item.png at scale 2, dark unless the appearance is light, through the
// checked writer: a failure leaves an old file of that name as it was. Creates the folder. On
// failure writes one line naming the path and the reason to standard error and returns false.
bool exportItem(const QString& directory, const MonitorModel& model, const AppSettings& settings);

}  // namespace MenuBarHooks

}  // namespace kivo
