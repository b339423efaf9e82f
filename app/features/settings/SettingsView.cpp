#include "features/settings/SettingsView.h"

#include "design/Icons.h"
#include "features/settings/AboutPane.h"
#include "features/settings/GeneralPane.h"
#include "features/settings/HistoryPane.h"
#include "features/settings/MenuBarPane.h"
#include "features/settings/PrivacyPane.h"
#include "features/settings/SamplingPane.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QTabWidget>

#include <vector>

namespace kivo::SettingsView {

namespace {

// Tints the tab symbols like the tab text, again whenever the appearance changes.
class TabTint : public QObject {
 public:
  TabTint(QTabWidget* tabs, std::vector<QString> symbols)
      : QObject(tabs), tabs_(tabs), symbols_(std::move(symbols)) {
    tabs->installEventFilter(this);
    tint();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == tabs_ && event->type() == QEvent::PaletteChange) tint();
    return false;
  }

 private:
  void tint() {
    const QColor color = tabs_->palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
      tabs_->setTabIcon(static_cast<int>(i), Icons::icon(symbols_[i], color));
    }
  }

  QTabWidget* tabs_;
  std::vector<QString> symbols_;
};

}  // namespace

void addPanes(QTabWidget* tabs, MonitorModel& model, AppSettings& settings, LaunchAtLogin& launchAtLogin,
              const TrayHost* trayHost) {
  const struct {
    QWidget* pane;
    const char* title;
    const char* symbol;
    const char* name;
  } panes[] = {
      {new GeneralPane(launchAtLogin, settings), "General", "gearshape", "settings.general"},
      {new SamplingPane(model, settings), "Sampling", "waveform.path.ecg", "settings.sampling"},
      {new HistoryPane(model, settings), "History", "clock.arrow.circlepath", "settings.history"},
      {new MenuBarPane(settings, trayHost), "Tray", "menubar.rectangle", "settings.menuBar"},
      {new PrivacyPane(settings), "Privacy", "hand.raised", "settings.privacy"},
      {new AboutPane(model), "About", "info.circle", "settings.about"},
  };
  std::vector<QString> symbols;
  for (const auto& pane : panes) {
    pane.pane->setObjectName(QLatin1String(pane.name));
    pane.pane->setAccessibleName(tr(pane.title));
    tabs->addTab(pane.pane, tr(pane.title));
    symbols.push_back(QLatin1String(pane.symbol));
  }
  new TabTint(tabs, std::move(symbols));
  tabs->setCurrentIndex(0);
}

}  // namespace kivo::SettingsView
