#include "features/settings/MenuBarPane.h"

#include "features/settings/IndicatorSelection.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace kivo {

MenuBarPane::MenuBarPane(AppSettings& settings, std::function<bool()> trayAvailable, QWidget* parent)
    : SettingsForm(parent), settings_(settings), trayAvailable_(std::move(trayAvailable)) {
  QFormLayout* tray = addSection(tr("Tray"));
  tray_ = tray;
  show_ = addToggle(tray, tr("Show KIVO Monitor in the tray"), QStringLiteral("settings.showMenuBar"));
  graphs_ = addToggle(tray, tr("Draw mini charts"), QStringLiteral("settings.menuBarGraphs"));
  noTray_ = addNote(tray, tr("This desktop shows no tray at the moment. The choices here are saved and apply when a "
                             "tray is available."));
  noTray_->setObjectName(QStringLiteral("settings.noTray"));

  QFormLayout* indicators = addSection(tr("Indicators"));
  for (MenuBarItem item : MenuBarItems::allCases()) {
    QCheckBox* toggle = addToggle(indicators, MenuBarItems::title(item),
                                  QStringLiteral("settings.indicator.") + MenuBarItems::rawValue(item));
    indicators_.emplace_back(item, toggle);
    connect(toggle, &QCheckBox::clicked, this, [this, item](bool on) {
      settings_.setMenuBarItems(IndicatorSelection::toggled(settings_.menuBarItems(), item, on));
    });
  }
  addNote(indicators, tr("With every indicator off, the tray shows the KIVO Monitor pulse icon alone."));
  finish();

  connect(show_, &QCheckBox::clicked, this, [this](bool on) { settings_.setShowMenuBar(on); });
  connect(graphs_, &QCheckBox::clicked, this, [this](bool on) { settings_.setMenuBarGraphs(on); });
  connect(&settings_, &AppSettings::showMenuBarChanged, this, &MenuBarPane::fill);
  connect(&settings_, &AppSettings::menuBarGraphsChanged, this, &MenuBarPane::fill);
  connect(&settings_, &AppSettings::menuBarItemsChanged, this, &MenuBarPane::fill);
  fill();
}

void MenuBarPane::fill() {
  const QSignalBlocker s(show_), g(graphs_);
  show_->setChecked(settings_.showMenuBar());
  graphs_->setChecked(settings_.menuBarGraphs());
  for (auto& [item, toggle] : indicators_) {
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(IndicatorSelection::contains(settings_.menuBarItems(), item));
  }
}

void MenuBarPane::showEvent(QShowEvent* event) {
  SettingsForm::showEvent(event);
  tray_->setRowVisible(noTray_, trayAvailable_ && !trayAvailable_());
}

}  // namespace kivo
