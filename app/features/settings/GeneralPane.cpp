#include "features/settings/GeneralPane.h"

#include "desktop/LaunchAtLogin.h"
#include "metrics/OutsideText.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
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
  startup_ = startup;
  login_ = addToggle(startup, tr("Open KIVO Monitor at login"), QStringLiteral("settings.launchAtLogin"));
  loginFailure_ = addNote(startup, QString());
  loginFailure_->setObjectName(QStringLiteral("settings.launchAtLoginFailure"));
  loginFailure_->setTextFormat(Qt::PlainText);
  startup->setRowVisible(loginFailure_, false);
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
    const bool made = launchAtLogin_.setEnabled(on);
    showLoginFailure(made                                 ? QString()
                     : launchAtLogin_.failure().isEmpty() ? tr("The change was refused.")
                                                          : launchAtLogin_.failure());
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

void GeneralPane::showLoginFailure(const QString& reason) {
  // The reason names a path: shown in its visible form.
  if (!reason.isEmpty()) loginFailure_->setText(tr("Not changed: %1").arg(OutsideText::visible(reason)));
  startup_->setRowVisible(loginFailure_, !reason.isEmpty());
}

void GeneralPane::showEvent(QShowEvent* event) {
  SettingsForm::showEvent(event);
  readLogin();
}

}  // namespace kivo
