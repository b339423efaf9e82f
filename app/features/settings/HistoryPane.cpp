#include "features/settings/HistoryPane.h"

#include "design/BareLayout.h"
#include "design/Icons.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/settings/SettingsFacts.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QTimer>

#include <algorithm>

namespace kivo {

namespace {

// Beside the title, a title bar holds the window's icon and its buttons.
constexpr int kTitleBarRoom = 160;

// The warning symbol of the store error, tinted like its text whenever the appearance changes.
class WarningIcon : public QLabel {
 public:
  explicit WarningIcon(QWidget* parent) : QLabel(parent) {
    setFixedSize(16, 16);
    tint();
  }

 protected:
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) tint();
  }

 private:
  void tint() {
    setPixmap(Icons::pixmap(QStringLiteral("exclamationmark.triangle"), 16, Palette::danger.resolve(this),
                            devicePixelRatioF()));
  }
};

}  // namespace

HistoryPane::HistoryPane(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : SettingsForm(parent),
      model_(model),
      settings_(settings),
      recording_(settings.telemetry().historyEnabled),
      pickers_{Picker{RetentionChoices::raw(), &RetentionPolicy::raw},
               Picker{RetentionChoices::minute(), &RetentionPolicy::minute},
               Picker{RetentionChoices::hour(), &RetentionPolicy::hour}} {
  QFormLayout* recording = addSection(tr("Recording"));
  record_ = addToggle(recording, tr("Record history"), QStringLiteral("settings.recordHistory"));
  addNote(recording,
          tr("When off, live charts keep working but nothing is written to disk, and Insights, History "
             "and Reports have no new data."));

  QFormLayout* retention = addSection(tr("Retention"));
  const char* labels[] = {"Every sample", "One-minute summaries", "One-hour summaries"};
  const char* names[] = {"settings.retention.raw", "settings.retention.minute", "settings.retention.hour"};
  for (std::size_t i = 0; i < pickers_.size(); ++i) {
    Picker& picker = pickers_[i];
    picker.box = new QComboBox(retention->parentWidget());
    picker.box->setObjectName(QLatin1String(names[i]));
    retention->addRow(tr(labels[i]), picker.box);
    connect(picker.box, &QComboBox::activated, this, [this, &picker](int index) {
      RetentionPolicy policy = settings_.retention();
      policy.*picker.field = picker.box->itemData(index).toDouble();
      settings_.setRetention(policy);
    });
  }

  storage_ = addSection(tr("Storage"));
  size_ = addValue(storage_, tr("Database size"), QStringLiteral("settings.databaseSize"));
  samples_ = addValue(storage_, tr("Stored samples"), QStringLiteral("settings.storedSamples"));
  samplesNote_ = addNote(storage_, tr("Raw samples · one-minute summaries · one-hour summaries."));
  oldest_ = addValue(storage_, tr("Oldest data"), QStringLiteral("settings.oldestData"));
  errorRow_ = new QWidget(storage_->parentWidget());
  errorRow_->setObjectName(QStringLiteral("settings.storeError"));
  auto* errorLine = bareRow(errorRow_, 6);
  errorLine->addWidget(new WarningIcon(errorRow_), 0, Qt::AlignTop);
  error_ = new ToneLabel(QString(), font(), Palette::danger, errorRow_);
  error_->setObjectName(QStringLiteral("settings.storeError.text"));
  error_->setWordWrap(true);
  errorLine->addWidget(error_, 1);
  storage_->addRow(errorRow_);
  erase_ = new QPushButton(tr("Erase All History…"), storage_->parentWidget());
  erase_->setObjectName(QStringLiteral("settings.eraseHistory"));
  auto* eraseLine = new QHBoxLayout;
  eraseLine->addWidget(erase_);
  eraseLine->addStretch(1);
  storage_->addRow(eraseLine);
  eraseUnavailable_ = addNote(storage_, QString());
  eraseUnavailable_->setObjectName(QStringLiteral("settings.eraseUnavailable"));
  finish();

  connect(record_, &QCheckBox::clicked, this, [this](bool on) {
    TelemetryConfiguration telemetry = settings_.telemetry();
    telemetry.historyEnabled = on;
    settings_.setTelemetry(telemetry);
  });
  connect(erase_, &QPushButton::clicked, this, &HistoryPane::askToErase);
  connect(&settings_, &AppSettings::retentionChanged, this, [this] {
    fill();
    apply();
  });
  connect(&settings_, &AppSettings::telemetryChanged, this, [this] {
    // Only recording concerns this pane; other sampling fields do not apply from here.
    const bool recording = settings_.telemetry().historyEnabled;
    fill();
    if (recording == recording_) return;
    recording_ = recording;
    apply();
  });
  connect(&model_, &MonitorModel::storeStatisticsChanged, this, &HistoryPane::updateStorage);
  figures_ = new QTimer(this);
  figures_->setObjectName(QStringLiteral("settings.figuresRefresh"));
  connect(figures_, &QTimer::timeout, &model_, &MonitorModel::refreshStatistics);
  connect(&model_, &MonitorModel::storeErrorChanged, this, &HistoryPane::updateStorage);
  fill();
  updateStorage();
}

void HistoryPane::apply() {
  if (!isVisible()) return;
  model_.applySettings();
  emit settingsApplied();
}

void HistoryPane::fill() {
  {
    const QSignalBlocker blocker(record_);
    record_->setChecked(settings_.telemetry().historyEnabled);
  }
  const RetentionPolicy& policy = settings_.retention();
  for (Picker& picker : pickers_) {
    const auto shown = RetentionChoices::picker(picker.choices, policy.*picker.field, model_.format());
    const QSignalBlocker blocker(picker.box);
    // Rebuilt only when the entries differ (an extra entry came or went), never under the
    // signal that is being handled when the user picked an existing choice.
    bool same = picker.box->count() == static_cast<int>(shown.entries.size());
    for (int i = 0; same && i < picker.box->count(); ++i) {
      same = picker.box->itemText(i) == shown.entries[static_cast<std::size_t>(i)].title &&
             picker.box->itemData(i).toDouble() == shown.entries[static_cast<std::size_t>(i)].seconds;
    }
    if (!same) {
      picker.box->clear();
      for (const auto& entry : shown.entries) picker.box->addItem(entry.title, entry.seconds);
    }
    picker.box->setCurrentIndex(shown.selected);
  }
}

void HistoryPane::updateStorage() {
  const auto rows = SettingsFacts::storage(model_.storeStatistics(), model_.storeError(), model_.hasHistory(),
                                           model_.format());
  storage_->setRowVisible(size_, rows.statistics);
  storage_->setRowVisible(samples_, rows.statistics);
  storage_->setRowVisible(samplesNote_, rows.statistics);
  storage_->setRowVisible(oldest_, rows.oldest.has_value());
  storage_->setRowVisible(errorRow_, rows.error.has_value());
  size_->setText(rows.databaseSize);
  samples_->setText(rows.storedSamples);
  oldest_->setText(rows.oldest.value_or(QString()));
  error_->setText(rows.error.value_or(QString()));
  erase_->setEnabled(!rows.eraseUnavailable);
  erase_->setToolTip(rows.eraseUnavailable.value_or(QString()));
  erase_->setAccessibleDescription(rows.eraseUnavailable.value_or(QString()));
  eraseUnavailable_->setText(rows.eraseUnavailable.value_or(QString()));
  storage_->setRowVisible(eraseUnavailable_, rows.eraseUnavailable.has_value());
}

void HistoryPane::showEvent(QShowEvent* event) {
  SettingsForm::showEvent(event);
  // Each time the pane is shown (its tab chosen, the window opened), not when the window
  // comes back from being minimised.
  if (!event->spontaneous()) model_.refreshFindings();
  const double seconds = std::max(1.0, settings_.telemetry().flushInterval);
  figures_->start(static_cast<int>(seconds * 1000));
}

void HistoryPane::hideEvent(QHideEvent* event) {
  SettingsForm::hideEvent(event);
  figures_->stop();
}

void HistoryPane::askToErase() {
  if (confirmation_) {
    confirmation_->raise();
    return;
  }
  // The question is the box's own text, so it shows whatever the window title looks like.
  auto* box = new QMessageBox(this);
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(tr("Erase all recorded history?"));
  box->setText(tr("Erase all recorded history?"));
  box->setInformativeText(
      tr("Samples, summaries, alert history and bookmarks are deleted from this computer. "
         "This cannot be undone."));
  box->setObjectName(QStringLiteral("settings.eraseConfirmation"));
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::WindowModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // A message box sizes itself to its text, and a window manager cuts a title that is wider:
  // keep room for the whole title beside the title bar's buttons.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    const int title = box->fontMetrics().horizontalAdvance(box->windowTitle()) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  QPushButton* erase = box->addButton(tr("Erase"), QMessageBox::DestructiveRole);
  erase->setObjectName(QStringLiteral("settings.erase"));
  QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
  cancel->setObjectName(QStringLiteral("settings.eraseCancel"));
  // A stray Return or Escape never erases.
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  confirmation_ = box;
  connect(box, &QMessageBox::buttonClicked, this, [this, erase](QAbstractButton* button) {
    if (button == erase) model_.eraseHistory();
  });
  box->open();
}

}  // namespace kivo
