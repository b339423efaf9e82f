#include "features/settings/AboutPane.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/Icons.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/settings/SettingsFacts.h"
#include "model/MonitorModel.h"
#include "texts/BuildInfo.h"
#include "texts/Localized.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kivo {

AboutPane::AboutPane(MonitorModel& model, QWidget* parent) : SettingsForm(parent), model_(model) {
  QFormLayout* identity = addSection(QString());
  auto* holder = new QWidget(identity->parentWidget());
  auto* line = bareRow(holder, 14);
  auto* icon = new QLabel(holder);
  icon->setFixedSize(64, 64);
  icon->setPixmap(Icons::applicationIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
  icon->setScaledContents(true);
  Accessibility::hideDecoration(icon);
  line->addWidget(icon, 0, Qt::AlignVCenter);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  auto* name = new QLabel(tr("KIVO Monitor"), holder);
  name->setFont(Typeface::system(18, QFont::Bold));
  texts->addWidget(name);
  texts->addWidget(new ToneLabel(tr("See what this computer is doing, and what it did."), font(),
                                 Palette::textSecondary, holder));
  auto* version = new ToneLabel(SettingsFacts::versionLine(BuildInfo::version(), BuildInfo::buildNumber()),
                                Typeface::system(11), Palette::textSecondary, holder);
  version->setObjectName(QStringLiteral("settings.version"));
  texts->addWidget(version);
  line->addLayout(texts, 1);
  identity->addRow(holder);

  const auto computer = SettingsFacts::computer(model_.system());
  QFormLayout* machine = addSection(tr("This computer"));
  addValue(machine, tr("Model"), QStringLiteral("settings.model"))->setText(computer.model);
  addValue(machine, tr("Processor"), QStringLiteral("settings.chip"))->setText(computer.chip);
  addValue(machine, tr("Operating system"), QStringLiteral("settings.system"))->setText(computer.system);

  QFormLayout* footprint = addSection(tr("KIVO Monitor's own footprint"));
  cpu_ = addValue(footprint, tr("CPU (of one core)"), QStringLiteral("settings.selfCPU"));
  memory_ = addValue(footprint, tr("Memory"), QStringLiteral("settings.selfMemory"));
  collection_ =
      addValue(footprint, tr("Collection time per sample"), QStringLiteral("settings.collectionTime"));
  addNote(footprint, tr("Measured on itself, live, with the same method as every other process."));
  finish();

  connect(&model_, &MonitorModel::snapshotChanged, this, &AboutPane::updateFootprint);
  connect(&model_, &MonitorModel::liveChanged, this, &AboutPane::updateFootprint);
  updateFootprint();
}

void AboutPane::updateFootprint() {
  const auto rows =
      SettingsFacts::footprint(model_.latest(MetricID::selfCPU), model_.snapshot().get(), model_.format());
  cpu_->setText(rows.cpu);
  memory_->setText(rows.memory);
  collection_->setText(rows.collection);
}

}  // namespace kivo
