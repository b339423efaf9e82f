#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace kivo {

class Preferences;

// Drives an automated run without input events: launch options that open the settings window,
// show the tray panel in a window and write the tray label as a PNG, each after its delay.
// The delays follow each other (settings at 4 s, the panel at 12 s, the image at 32 s when all
// three are given). Read in any mode, not only in test mode.
class ScreenshotHooks : public QObject {
  Q_OBJECT
 public:
  static inline const QString kOpenSettings = QStringLiteral("KIVOOpenSettings");
  static inline const QString kShowMenuPanel = QStringLiteral("KIVOShowMenuPanel");
  static inline const QString kExportMenuBar = QStringLiteral("KIVOExportMenuBar");

  // What the steps do. A hook left empty makes its step wait and do nothing (the panel and the
  // label image come with the tray).
  struct Actions {
    std::function<void()> openSettings;
    std::function<void()> showPanel;
    std::function<void(const QString& directory)> exportMenuBar;
  };

  struct Step {
    int delayMs = 0;  // after the previous step
    QString key;      // the launch option that asked for it
    std::function<void()> action;
  };

  // The steps the options ask for, in order; none when no option is given.
  static std::vector<Step> plan(const Preferences& standard, const Actions& actions);

  ScreenshotHooks(const Preferences& standard, Actions actions, QObject* parent = nullptr);
  // Runs the plan; stops with the object's lifetime (the main window's content).
  void start();

 private:
  void next();

  std::vector<Step> steps_;
  std::size_t index_ = 0;
};

}  // namespace kivo
