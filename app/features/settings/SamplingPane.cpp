#include "features/settings/SamplingPane.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "features/settings/SettingsFacts.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "settings/SettingFields.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace kivo {

namespace {

// The stored settings are held to the same ends.
IntervalSlider slider(SettingFields::Range range) {
  return {range.lower, range.upper};
}

}  // namespace

SamplingPane::SamplingPane(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : SettingsForm(parent),
      model_(model),
      settings_(settings),
      rows_{Row{slider(SettingFields::interval), &TelemetryConfiguration::interval},
            Row{slider(SettingFields::backgroundInterval), &TelemetryConfiguration::backgroundInterval},
            Row{slider(SettingFields::processInterval), &TelemetryConfiguration::processInterval},
            Row{slider(SettingFields::slowInterval), &TelemetryConfiguration::slowInterval}} {
  const char* labels[] = {"While a window is visible", "Tray only", "Process list", "Volumes and battery"};
  const char* names[] = {"settings.interval", "settings.backgroundInterval", "settings.processInterval",
                         "settings.slowInterval"};
  QFormLayout* intervals = addSection(tr("Intervals"));
  intervals_ = intervals;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    auto* holder = new QWidget(intervals->parentWidget());
    auto* line = bareRow(holder);
    row.slider = new QSlider(Qt::Horizontal, holder);
    row.slider->setObjectName(QLatin1String(names[i]));
    row.slider->setRange(static_cast<int>(row.range.lower), static_cast<int>(row.range.upper));
    row.slider->setSingleStep(1);
    row.slider->setPageStep(1);
    row.slider->setFixedWidth(190);
    row.value = new QLabel(holder);
    row.value->setObjectName(QLatin1String(names[i]) + QStringLiteral(".value"));
    row.value->setTextFormat(Qt::PlainText);
    row.value->setFixedWidth(44);
    row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(row.slider);
    line->addWidget(row.value);
    line->addStretch(1);
    intervals->addRow(tr(labels[i]), holder);
    Accessibility::labelWith(row.slider, qobject_cast<QLabel*>(intervals->labelForField(holder)));
    // Every user action on the slider (drag, click, key, wheel) chooses its position; a fill
    // never does, so a stored value the slider cannot stand on is kept until the user moves it.
    connect(row.slider, &QSlider::actionTriggered, this, [this, &row](int action) {
      if (action != QAbstractSlider::SliderNoAction) chose(row, row.slider->sliderPosition());
    });
  }
  saver_ = addToggle(intervals, tr("Halve the sampling rate on battery and in the power-saver profile"),
                     QStringLiteral("settings.batterySaver"));
  inForce_ = new QLabel(intervals->parentWidget());
  inForce_->setObjectName(QStringLiteral("settings.intervalInForce"));
  inForce_->setTextFormat(Qt::PlainText);
  intervals->addRow(tr("Interval in force now"), inForce_);

  QFormLayout* bestEffort = addSection(tr("Best-effort readings"));
  bestEffort_ = addToggle(bestEffort, tr("Read GPU utilization and battery detail from driver files"),
                          QStringLiteral("settings.bestEffort"));
  QLabel* note = addNote(
      bestEffort,
      tr("GPU utilization and battery detail (cycle count, capacity, power flow) are read from driver "
         "files (/sys/class/drm, /sys/class/power_supply) and the GPU vendor's library, whose meaning "
         "is not documented. They are always labelled “Best effort”. Turn this off to show only "
         "documented values."));
  // Paths stay whole on one line: no break after their slashes.
  note->setText(note->text().replace(QLatin1Char('/'), QStringLiteral("/\u2060")));
  finish();

  connect(saver_, &QCheckBox::clicked, this, [this](bool on) {
    TelemetryConfiguration telemetry = settings_.telemetry();
    telemetry.batterySaver = on;
    settings_.setTelemetry(telemetry);
  });
  connect(bestEffort_, &QCheckBox::clicked, this, [this](bool on) {
    TelemetryConfiguration telemetry = settings_.telemetry();
    telemetry.bestEffortMetrics = on;
    settings_.setTelemetry(telemetry);
  });
  connect(&settings_, &AppSettings::telemetryChanged, this, [this] {
    fill();
    // Only a change while the pane is shown reaches the engine (the settings signal only real
    // changes, so each one applies once).
    if (isVisible()) {
      model_.applySettings();
      emit settingsApplied();
    }
  });
  connect(&model_, &MonitorModel::snapshotChanged, this, &SamplingPane::updateInterval);
  fill();
  updateInterval();
}

void SamplingPane::chose(Row& row, int seconds) {
  TelemetryConfiguration telemetry = settings_.telemetry();
  telemetry.*row.field = seconds;
  settings_.setTelemetry(telemetry);
  // A refused or unchanged value puts the row back to what is stored.
  fill();
}

void SamplingPane::fill() {
  const TelemetryConfiguration& telemetry = settings_.telemetry();
  for (Row& row : rows_) {
    const double stored = telemetry.*row.field;
    const QSignalBlocker blocker(row.slider);
    // While dragging, the handle stays under the pointer.
    if (!row.slider->isSliderDown()) row.slider->setValue(row.range.position(stored));
    row.value->setText(IntervalSlider::text(stored));
  }
  const QSignalBlocker s(saver_), b(bestEffort_);
  saver_->setChecked(telemetry.batterySaver);
  bestEffort_->setChecked(telemetry.bestEffortMetrics);
}

void SamplingPane::updateInterval() {
  const auto text = SettingsFacts::intervalInForce(model_.snapshot().get(), model_.format());
  // The row is left out entirely before the first snapshot.
  intervals_->setRowVisible(inForce_, text.has_value());
  if (text) inForce_->setText(*text);
}

}  // namespace kivo
