#pragma once

#include "features/settings/RetentionChoices.h"
#include "features/settings/SettingsForm.h"

#include <QMessageBox>
#include <QPointer>

#include <array>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;

class QPushButton;
class QTimer;

namespace kivo {

class AppSettings;
class MonitorModel;
class ToneLabel;
struct RetentionPolicy;

// Recording, how long each tier is kept, what the database holds, and erasing it all after a
// window-modal confirmation. Each showing refreshes the findings and the statistics.
class HistoryPane : public SettingsForm {
  Q_OBJECT

 public:
  HistoryPane(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);

  // The open erase confirmation, if any (for tests).
  QMessageBox* confirmation() const { return confirmation_; }

 signals:
  void settingsApplied();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Picker {
    std::span<const RetentionChoices::Choice> choices;
    double RetentionPolicy::*field;
    QComboBox* box = nullptr;
  };

  void fill();
  void updateStorage();
  void askToErase();
  void apply();

  MonitorModel& model_;
  AppSettings& settings_;
  bool recording_ = true;
  QCheckBox* record_ = nullptr;
  std::array<Picker, 3> pickers_;
  QFormLayout* storage_ = nullptr;
  QLabel* size_ = nullptr;
  QLabel* samples_ = nullptr;
  QLabel* samplesNote_ = nullptr;
  QLabel* oldest_ = nullptr;
  QWidget* errorRow_ = nullptr;
  ToneLabel* error_ = nullptr;
  QPushButton* erase_ = nullptr;
  QLabel* eraseUnavailable_ = nullptr;
  QPointer<QMessageBox> confirmation_;
  // While shown, the figures are read again once per flush interval, as the store changes.
  QTimer* figures_ = nullptr;
};

}  // namespace kivo
