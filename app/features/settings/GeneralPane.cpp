#include "features/settings/GeneralPane.h"

#include "desktop/LaunchAtLogin.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>

namespace kivo {

namespace {

QString appearanceTitle(AppearanceChoice choice) {
  switch (choice) {
    case AppearanceChoice::system:
      return tr("Match System");
    case AppearanceChoice::light:
      return tr("Light");
    case AppearanceChoice::dark:
      return tr("Dark");
  }
  return tr("Match System");
}

QString densityTitle(DensityChoice choice) {
  switch (choice) {
    case DensityChoice::compact:
      return tr("Compact");
    case DensityChoice::regular:
      return tr("Regular");
    case DensityChoice::comfortable:
      return tr("Comfortable");
  }
  return tr("Regular");
}

}  // namespace

GeneralPane::GeneralPane(LaunchAtLogin& launchAtLogin, AppSettings& settings, QWidget* parent)
    : SettingsForm(parent), launchAtLogin_(launchAtLogin), settings_(settings) {
  QFormLayout* look = addSection(tr("Appearance"));
  appearance_ = new QComboBox(look->parentWidget());
  appearance_->setObjectName(QStringLiteral("settings.appearance"));
  for (AppearanceChoice choice : AppearanceChoices::allCases()) {
    appearance_->addItem(appearanceTitle(choice), AppearanceChoices::rawString(choice));
  }
  look->addRow(tr("Appearance"), appearance_);
  density_ = new QComboBox(look->parentWidget());
  density_->setObjectName(QStringLiteral("settings.density"));
  for (DensityChoice choice : DensityChoices::allCases()) {
    density_->addItem(densityTitle(choice), DensityChoices::rawString(choice));
  }
  look->addRow(tr("Density"), density_);
  colorBlind_ =
      addToggle(look, tr("Colour-blind-safe chart colours"), QStringLiteral("settings.colorBlindSafe"));
  addNote(look,
          tr("Uses the Okabe–Ito palette. Charts always carry labels and legends as well, so colour is never "
             "the only cue."));

  QFormLayout* startup = addSection(tr("Startup"));
  login_ = addToggle(startup, tr("Open KIVO Monitor at login"), QStringLiteral("settings.launchAtLogin"));
  addNote(startup, tr("History is only recorded while KIVO Monitor is running."));
  finish();

  // Written only from what the user picks; filled under a blocker.
  connect(appearance_, &QComboBox::activated, this, [this](int index) {
    if (const auto choice = AppearanceChoices::fromRawValue(appearance_->itemData(index).toString())) {
      settings_.setAppearance(*choice);
    }
  });
  connect(density_, &QComboBox::activated, this, [this](int index) {
    if (const auto choice = DensityChoices::fromRawValue(density_->itemData(index).toString())) {
      settings_.setDensity(*choice);
    }
  });
  connect(colorBlind_, &QCheckBox::clicked, this, [this](bool on) { settings_.setColorBlindSafe(on); });
  connect(login_, &QCheckBox::clicked, this, [this](bool on) {
    launchAtLogin_.setEnabled(on);
    readLogin();
  });
  connect(&settings_, &AppSettings::appearanceChanged, this, &GeneralPane::fill);
  connect(&settings_, &AppSettings::densityChanged, this, &GeneralPane::fill);
  connect(&settings_, &AppSettings::colorBlindSafeChanged, this, &GeneralPane::fill);
  fill();
  readLogin();
}

void GeneralPane::fill() {
  const QSignalBlocker a(appearance_), d(density_), c(colorBlind_);
  appearance_->setCurrentIndex(appearance_->findData(AppearanceChoices::rawString(settings_.appearance())));
  density_->setCurrentIndex(density_->findData(DensityChoices::rawString(settings_.density())));
  colorBlind_->setChecked(settings_.colorBlindSafe());
}

void GeneralPane::readLogin() {
  const QSignalBlocker blocker(login_);
  login_->setChecked(launchAtLogin_.isEnabled());
}

void GeneralPane::showEvent(QShowEvent* event) {
  SettingsForm::showEvent(event);
  readLogin();
}

}  // namespace kivo
