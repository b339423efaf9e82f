#pragma once

#include "analysis/AlertRule.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kivo {

// The dialog in which one alert rule is created or changed. It works on its own copy of the
// rule and hands it to onSave when the user saves; Cancel and closing drop it. Opening it
// writes nothing: controls are filled with their signals blocked, and a field changes only
// when the user changes it, so a stored value no control can show (a 90 s cooldown, a
// 0.05 GB threshold) stays as it is until then.
class RuleEditor : public QDialog {
  Q_OBJECT

 public:
  using OnSave = std::function<void(const AlertRule&)>;

  RuleEditor(const AlertRule& rule, OnSave onSave, QWidget* parent = nullptr);

  // The edited copy as it stands (a threshold still being typed not yet taken).
  const AlertRule& rule() const { return rule_; }

  // Takes a threshold still being typed, hands the rule over and closes; a threshold that
  // cannot be stored keeps the dialog open with its message, and nothing is handed over.
  void save();

  static constexpr int kWidth = 440;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // A row of "−" and "+" beside its value text, for the hold and the cooldown.
  struct Stepper {
    QWidget* row = nullptr;
    QLabel* value = nullptr;
    QToolButton* down = nullptr;
    QToolButton* up = nullptr;
  };
  Stepper makeStepper(const QString& name);
  void fill();
  // False when the typed threshold cannot be stored.
  bool commitThreshold();
  void showProblem();
  void metricChosen(int index);

  AlertRule rule_;
  OnSave onSave_;
  bool thresholdEdited_ = false;

  QFormLayout* form_ = nullptr;
  QComboBox* metric_ = nullptr;
  QComboBox* level_ = nullptr;
  QComboBox* comparison_ = nullptr;
  QWidget* thresholdRow_ = nullptr;
  QLineEdit* threshold_ = nullptr;
  QLabel* suffix_ = nullptr;
  QLabel* problem_ = nullptr;
  QPushButton* save_ = nullptr;
  Stepper duration_;
  Stepper cooldown_;
  QComboBox* severity_ = nullptr;
  QCheckBox* enabled_ = nullptr;
};

}  // namespace kivo
