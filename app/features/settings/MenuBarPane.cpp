#include "features/settings/MenuBarPane.h"

#include "desktop/TrayHost.h"
#include "features/settings/IndicatorSelection.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace kivo {

MenuBarPane::MenuBarPane(AppSettings& settings, const TrayHost* host, QWidget* parent)
    : SettingsForm(parent), settings_(settings), host_(host) {
  QFormLayout* tray = addSection(tr("Tray"));
  tray_ = tray;
  show_ = addToggle(tray, tr("Show KIVO Monitor in the tray"), QStringLiteral("settings.showMenuBar"));
  noTray_ = addNote(
      tray, tr("This desktop shows no tray at the moment. The choices here are saved and apply when a "
               "tray is available."));
  noTray_->setObjectName(QStringLiteral("settings.noTray"));

  QFormLayout* indicators = addSection(tr("Indicators"));
  for (MenuBarItem item : MenuBarItems::allCases()) {
    QCheckBox* toggle = addToggle(indicators, MenuBarItems::title(item),
                                  QStringLiteral("settings.indicator.") + MenuBarItems::rawString(item));
    indicators_.emplace_back(item, toggle);
    connect(toggle, &QCheckBox::clicked, this, [this, item](bool on) {
      settings_.setMenuBarItems(IndicatorSelection::toggled(settings_.menuBarItems(), item, on));
    });
  }
  addNote(indicators,
          tr("The tray shows the KIVO Monitor icon, with a red dot while alerts are active. Its "
             "tooltip lists the chosen indicators in this order; with every indicator off it names "
             "only KIVO Monitor and any active alerts."));
  finish();

  connect(show_, &QCheckBox::clicked, this, [this](bool on) { settings_.setShowMenuBar(on); });
  connect(&settings_, &AppSettings::showMenuBarChanged, this, &MenuBarPane::fill);
  connect(&settings_, &AppSettings::menuBarItemsChanged, this, &MenuBarPane::fill);
  if (host_) connect(host_, &TrayHost::availableChanged, this, &MenuBarPane::updateNote);
  fill();
  updateNote();
}

bool MenuBarPane::showsNoTrayNote() const {
  return host_ && !host_->isAvailable();
}

void MenuBarPane::updateNote() {
  tray_->setRowVisible(noTray_, showsNoTrayNote());
}

void MenuBarPane::fill() {
  const QSignalBlocker s(show_);
  show_->setChecked(settings_.showMenuBar());
  for (auto& [item, toggle] : indicators_) {
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(IndicatorSelection::contains(settings_.menuBarItems(), item));
  }
}

}  // namespace kivo
