#include "features/alerts/RuleEditor.h"

#include "design/BareLayout.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/alerts/RuleEditorForm.h"
#include "texts/Localized.h"
#include "texts/SeverityTitle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace kivo {

RuleEditor::RuleEditor(const AlertRule& rule, OnSave onSave, QWidget* parent)
    : QDialog(parent), rule_(rule), onSave_(std::move(onSave)) {
  setObjectName(QStringLiteral("ruleEditor"));
  setWindowTitle(tr("Alert Rule"));
  setWindowModality(Qt::WindowModal);
  setFixedWidth(kWidth);

  auto* column = new QVBoxLayout(this);
  form_ = new QFormLayout;
  form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form_->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  column->addLayout(form_);

  metric_ = new QComboBox(this);
  metric_->setObjectName(QStringLiteral("ruleEditor.metric"));
  for (MetricID metric : RuleEditorForm::metrics()) {
    metric_->addItem(translated(MetricCatalog::descriptor(metric).name));
  }
  form_->addRow(tr("Metric"), metric_);

  level_ = new QComboBox(this);
  level_->setObjectName(QStringLiteral("ruleEditor.level"));
  form_->addRow(tr("Level"), level_);

  comparison_ = new QComboBox(this);
  comparison_->setObjectName(QStringLiteral("ruleEditor.condition"));
  comparison_->addItem(tr("Above"));
  comparison_->addItem(tr("Below"));
  form_->addRow(tr("Condition"), comparison_);

  thresholdRow_ = new QWidget(this);
  auto* thresholdColumn = bareColumn(thresholdRow_);
  auto* thresholdLine = new QHBoxLayout;
  thresholdColumn->addLayout(thresholdLine);
  threshold_ = new QLineEdit(thresholdRow_);
  threshold_->setObjectName(QStringLiteral("ruleEditor.threshold"));
  threshold_->setAccessibleName(tr("Threshold"));
  suffix_ = new ToneLabel(QString(), font(), Palette::textSecondary, thresholdRow_);
  suffix_->setObjectName(QStringLiteral("ruleEditor.unit"));
  thresholdLine->addWidget(threshold_, 1);
  thresholdLine->addWidget(suffix_);
  problem_ = new ToneLabel(QString(), font(), Palette::danger, thresholdRow_);
  problem_->setObjectName(QStringLiteral("ruleEditor.thresholdProblem"));
  problem_->setTextFormat(Qt::PlainText);
  problem_->setWordWrap(true);
  problem_->hide();
  thresholdColumn->addWidget(problem_);
  form_->addRow(tr("Threshold"), thresholdRow_);

  duration_ = makeStepper(QStringLiteral("ruleEditor.duration"));
  form_->addRow(tr("Must hold for"), duration_.row);
  cooldown_ = makeStepper(QStringLiteral("ruleEditor.cooldown"));
  form_->addRow(tr("Cooldown"), cooldown_.row);

  severity_ = new QComboBox(this);
  severity_->setObjectName(QStringLiteral("ruleEditor.severity"));
  for (Severity severity : Severities::allCases()) severity_->addItem(Severities::title(severity));
  form_->addRow(tr("Severity"), severity_);

  enabled_ = new QCheckBox(tr("Enabled"), this);
  enabled_->setObjectName(QStringLiteral("ruleEditor.enabled"));
  form_->addRow(QString(), enabled_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setText(tr("Cancel"));
  cancel->setObjectName(QStringLiteral("ruleEditor.cancel"));
  save_ = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
  save_->setObjectName(QStringLiteral("ruleEditor.save"));
  save_->setDefault(true);
  column->addSpacing(8);
  column->addWidget(buttons);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(save_, &QPushButton::clicked, this, &RuleEditor::save);

  fill();

  // Only what the user does writes a field of the copy.
  connect(metric_, &QComboBox::activated, this, &RuleEditor::metricChosen);
  connect(level_, &QComboBox::activated, this, [this](int index) {
    const auto options = RuleEditorForm::levelOptions(rule_.metric);
    if (index >= 0 && index < static_cast<int>(options.size()))
      rule_.threshold = options[static_cast<std::size_t>(index)].threshold;
  });
  connect(comparison_, &QComboBox::activated, this, [this](int index) {
    rule_.comparison = index == 1 ? AlertComparison::below : AlertComparison::above;
  });
  connect(threshold_, &QLineEdit::textEdited, this, [this] {
    thresholdEdited_ = true;
    showProblem();
  });
  connect(threshold_, &QLineEdit::editingFinished, this, [this] { commitThreshold(); });
  connect(duration_.down, &QToolButton::clicked, this, [this] {
    rule_.duration = RuleEditorForm::stepped(rule_.duration, RuleEditorForm::kDuration, -1);
    fill();
  });
  connect(duration_.up, &QToolButton::clicked, this, [this] {
    rule_.duration = RuleEditorForm::stepped(rule_.duration, RuleEditorForm::kDuration, 1);
    fill();
  });
  connect(cooldown_.down, &QToolButton::clicked, this, [this] {
    rule_.cooldown = RuleEditorForm::stepped(rule_.cooldown, RuleEditorForm::kCooldown, -1);
    fill();
  });
  connect(cooldown_.up, &QToolButton::clicked, this, [this] {
    rule_.cooldown = RuleEditorForm::stepped(rule_.cooldown, RuleEditorForm::kCooldown, 1);
    fill();
  });
  connect(severity_, &QComboBox::activated, this, [this](int index) {
    const auto all = Severities::allCases();
    if (index >= 0 && index < static_cast<int>(all.size()))
      rule_.severity = all[static_cast<std::size_t>(index)];
  });
  connect(enabled_, &QCheckBox::clicked, this, [this](bool on) { rule_.isEnabled = on; });
}

RuleEditor::Stepper RuleEditor::makeStepper(const QString& name) {
  Stepper stepper;
  stepper.row = new QWidget(this);
  stepper.row->setObjectName(name);
  auto* line = bareRow(stepper.row);
  stepper.value = new QLabel(stepper.row);
  stepper.value->setObjectName(name + QStringLiteral(".value"));
  stepper.down = new QToolButton(stepper.row);
  stepper.down->setObjectName(name + QStringLiteral(".decrement"));
  stepper.down->setText(QStringLiteral("−"));
  stepper.down->setAccessibleName(tr("Decrement"));
  stepper.up = new QToolButton(stepper.row);
  stepper.up->setObjectName(name + QStringLiteral(".increment"));
  stepper.up->setText(QStringLiteral("+"));
  stepper.up->setAccessibleName(tr("Increment"));
  for (QToolButton* button : {stepper.down, stepper.up}) button->setFixedWidth(28);
  line->addWidget(stepper.value, 1);
  line->addWidget(stepper.down);
  line->addWidget(stepper.up);
  return stepper;
}

void RuleEditor::fill() {
  const MetricID metric = rule_.metric;
  const bool level = RuleEditorForm::usesLevel(metric);
  {
    const QSignalBlocker block(metric_);
    metric_->setCurrentIndex(RuleEditorForm::metricIndex(metric));
  }
  {
    const QSignalBlocker block(level_);
    level_->clear();
    for (const auto& option : RuleEditorForm::levelOptions(metric)) level_->addItem(option.title);
    level_->setCurrentIndex(RuleEditorForm::levelIndex(metric, rule_.threshold));
  }
  {
    const QSignalBlocker block(comparison_);
    comparison_->setCurrentIndex(rule_.comparison == AlertComparison::below ? 1 : 0);
  }
  if (!thresholdEdited_) {
    const QSignalBlocker block(threshold_);
    threshold_->setText(RuleEditorForm::thresholdText(rule_.threshold, metric, locale()));
  }
  suffix_->setText(RuleEditorForm::thresholdSuffix(metric));
  suffix_->setVisible(!suffix_->text().isEmpty());
  form_->setRowVisible(level_, level);
  form_->setRowVisible(comparison_, !level);
  form_->setRowVisible(thresholdRow_, !level);
  showProblem();

  duration_.value->setText(RuleEditorForm::durationText(rule_.duration));
  duration_.down->setEnabled(RuleEditorForm::canStep(rule_.duration, RuleEditorForm::kDuration, -1));
  duration_.up->setEnabled(RuleEditorForm::canStep(rule_.duration, RuleEditorForm::kDuration, 1));
  cooldown_.value->setText(RuleEditorForm::cooldownText(rule_.cooldown));
  cooldown_.down->setEnabled(RuleEditorForm::canStep(rule_.cooldown, RuleEditorForm::kCooldown, -1));
  cooldown_.up->setEnabled(RuleEditorForm::canStep(rule_.cooldown, RuleEditorForm::kCooldown, 1));
  {
    const QSignalBlocker block(severity_);
    severity_->setCurrentIndex(Severities::rawValue(rule_.severity));
  }
  {
    const QSignalBlocker block(enabled_);
    enabled_->setChecked(rule_.isEnabled);
  }
}

void RuleEditor::showProblem() {
  // Only a typed threshold is checked: a stored one is kept as it is until the user types.
  const QString problem =
      thresholdEdited_ && !RuleEditorForm::usesLevel(rule_.metric)
          ? RuleEditorForm::readThreshold(threshold_->text(), rule_.metric, locale()).problem
          : QString();
  problem_->setText(problem);
  problem_->setVisible(!problem.isEmpty());
  threshold_->setAccessibleDescription(problem);
  save_->setEnabled(problem.isEmpty());
  // Rows come and go with the metric, the message with the text: the dialog takes the height
  // of what it shows, never keeping the room of what went.
  thresholdRow_->layout()->invalidate();
  thresholdRow_->updateGeometry();
  form_->invalidate();
  layout()->invalidate();
  setFixedHeight(layout()->totalSizeHint().height());
}

void RuleEditor::metricChosen(int index) {
  const auto& list = RuleEditorForm::metrics();
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  const MetricID metric = list[static_cast<std::size_t>(index)];
  if (metric == rule_.metric) return;
  rule_ = RuleEditorForm::withMetric(rule_, metric);
  // The new metric's threshold replaces whatever was being typed.
  thresholdEdited_ = false;
  fill();
}

bool RuleEditor::commitThreshold() {
  if (!thresholdEdited_ || RuleEditorForm::usesLevel(rule_.metric)) return true;
  const auto entry = RuleEditorForm::readThreshold(threshold_->text(), rule_.metric, locale());
  // Rejected text stays as typed, with its message, until the user mends it.
  if (!entry.stored) {
    showProblem();
    return false;
  }
  rule_.threshold = *entry.stored;
  // Accepted text is shown as stored.
  thresholdEdited_ = false;
  fill();
  return true;
}

void RuleEditor::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // The threshold is written in the current locale; a number being typed is left alone.
  if (event->type() == QEvent::LocaleChange && enabled_ != nullptr) fill();
}

void RuleEditor::save() {
  if (!commitThreshold()) return;
  if (onSave_) onSave_(rule_);
  accept();
}

}  // namespace kivo
