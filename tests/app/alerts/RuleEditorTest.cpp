#include "features/alerts/RuleEditor.h"
#include "features/alerts/RuleEditorForm.h"

#include "PageShots.h"
#include "features/alerts/AlertsPresenter.h"
#include "texts/AlertText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace kivo {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;

AlertRule base() {
  AlertRule rule = RuleList::newRule();
  rule.duration = 120;
  rule.cooldown = 1800;
  rule.severity = Severity::critical;
  rule.isEnabled = false;
  return rule;
}

TEST(RuleEditorForm, PickingAMetricAppliesItsComparisonAndThresholdOnly) {
  struct Case {
    MetricID metric;
    AlertComparison comparison;
    double threshold;
  };
  const Case cases[] = {
      {MetricID::cpuTotal, AlertComparison::above, 90},
      {MetricID::memPressure, AlertComparison::above, 0.5},
      {MetricID::memUsed, AlertComparison::above, 0.05 * kGiB},
      {MetricID::swapUsed, AlertComparison::above, 0.05 * kGiB},
      {MetricID::diskFree, AlertComparison::below, 2e10},
      {MetricID::diskRead, AlertComparison::above, 5e7},
      {MetricID::diskWrite, AlertComparison::above, 5e7},
      {MetricID::netDown, AlertComparison::above, 5e7},
      {MetricID::netUp, AlertComparison::above, 5e7},
      {MetricID::batteryCharge, AlertComparison::below, 15},
      {MetricID::thermalState, AlertComparison::above, 1.5},
      {MetricID::gpuUtilization, AlertComparison::above, 90},
  };
  ASSERT_EQ(std::size(cases), RuleEditorForm::metrics().size());
  AlertRule start = base();
  start.comparison = AlertComparison::below;
  start.threshold = 7;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(RuleEditorForm::metrics()[i], c.metric);
    const AlertRule picked = RuleEditorForm::withMetric(start, c.metric);
    EXPECT_EQ(picked.metric, c.metric);
    EXPECT_EQ(picked.comparison, c.comparison) << i;
    EXPECT_EQ(picked.threshold, c.threshold) << i;
    AlertRule rest = picked;
    rest.metric = start.metric;
    rest.comparison = start.comparison;
    rest.threshold = start.threshold;
    EXPECT_EQ(rest, start) << "id, hold, cooldown, severity and the switch stay";
  }
}

TEST(RuleEditorForm, ThresholdInDisplayUnits) {
  struct Case {
    MetricID metric;
    double stored;
    QString text;
    QString suffix;
  };
  const Case cases[] = {
      {MetricID::cpuTotal, 90, QStringLiteral("90"), QStringLiteral("%")},
      {MetricID::cpuTotal, 87.25, QStringLiteral("87.3"), QStringLiteral("%")},
      // Memory in the binary unit the rule list and notifications print; free space in GB as they do.
      {MetricID::memUsed, 0.05 * kGiB, QStringLiteral("0.05"), QStringLiteral("GiB")},
      {MetricID::memUsed, 3 * kGiB, QStringLiteral("3"), QStringLiteral("GiB")},
      {MetricID::swapUsed, 2.5 * kGiB, QStringLiteral("2.5"), QStringLiteral("GiB")},
      {MetricID::memUsed, 5e7, QStringLiteral("0.05"), QStringLiteral("GiB")},
      {MetricID::memUsed, 0.999 * kGiB, QStringLiteral("1"), QStringLiteral("GiB")},
      {MetricID::diskFree, 2e10, QStringLiteral("20"), QStringLiteral("GB")},
      {MetricID::diskRead, 5e7, QStringLiteral("50"), QStringLiteral("MB/s")},
      {MetricID::loadAverage1, 4, QStringLiteral("4"), QString()},
  };
  const ValueFormatter format(kEnglish);
  for (const Case& c : cases) {
    EXPECT_EQ(RuleEditorForm::thresholdText(c.stored, c.metric, kEnglish), c.text);
    EXPECT_EQ(RuleEditorForm::thresholdSuffix(c.metric), c.suffix);
    // The rule list words the same threshold in the same unit family (powers of 1024 or of 1000).
    const QString listed = AlertText::formatted(c.stored, c.metric, format);
    EXPECT_EQ(listed.contains(QLatin1String("iB")), c.suffix.contains(QLatin1String("iB")))
        << listed.toStdString();
  }
}

TEST(RuleEditorForm, TypedThresholdsAreScaledAndImpossibleOnesSayWhy) {
  struct Case {
    MetricID metric;
    QString typed;
    std::optional<double> stored;
    QString problem;
  };
  const QString notNumber = QStringLiteral("The threshold must be a number.");
  const QString negative = QStringLiteral("The threshold cannot be below 0.");
  const QString tooLarge = QStringLiteral("The threshold is too large.");
  const QString percent = QStringLiteral("A percentage cannot be above 100.");
  const Case cases[] = {
      {MetricID::memUsed, QStringLiteral("12.5"), 12.5 * kGiB, {}},
      {MetricID::diskFree, QStringLiteral("12.5"), 12.5e9, {}},
      {MetricID::diskRead, QStringLiteral(" 80 "), 8e7, {}},
      {MetricID::cpuTotal, QStringLiteral("100"), 100.0, {}},
      {MetricID::cpuTotal, QStringLiteral("0"), 0.0, {}},
      {MetricID::netDown, QStringLiteral("1,000"), 1e9, {}},
      {MetricID::cpuTotal, QStringLiteral(""), std::nullopt, QStringLiteral("Enter a threshold.")},
      {MetricID::cpuTotal, QStringLiteral("  "), std::nullopt, QStringLiteral("Enter a threshold.")},
      {MetricID::cpuTotal, QStringLiteral("abc"), std::nullopt, notNumber},
      {MetricID::cpuTotal, QStringLiteral("nan"), std::nullopt, notNumber},
      {MetricID::cpuTotal, QStringLiteral("-5"), std::nullopt, negative},
      {MetricID::memUsed, QStringLiteral("-5"), std::nullopt, negative},
      {MetricID::cpuTotal, QStringLiteral("-inf"), std::nullopt, negative},
      {MetricID::cpuTotal, QStringLiteral("101"), std::nullopt, percent},
      {MetricID::batteryCharge, QStringLiteral("100.5"), std::nullopt, percent},
      {MetricID::gpuUtilization, QStringLiteral("1000"), std::nullopt, percent},
      {MetricID::cpuTotal, QStringLiteral("inf"), std::nullopt, tooLarge},
      {MetricID::cpuTotal, QStringLiteral("1e999"), std::nullopt, tooLarge},
      {MetricID::diskRead, QStringLiteral("1e999"), std::nullopt, tooLarge},
      // Finite as typed, infinite once scaled to bytes.
      {MetricID::memUsed, QStringLiteral("1e300"), std::nullopt, tooLarge},
  };
  for (const Case& c : cases) {
    const auto entry = RuleEditorForm::readThreshold(c.typed, c.metric, kEnglish);
    EXPECT_EQ(entry.stored, c.stored) << c.typed.toStdString();
    EXPECT_EQ(entry.problem, c.problem) << c.typed.toStdString();
  }
  EXPECT_EQ(RuleEditorForm::readThreshold(QStringLiteral("12,5"), MetricID::memUsed,
                                          QLocale(QLocale::German, QLocale::Germany))
                .stored,
            12.5 * kGiB);
}

TEST(RuleEditorForm, SteppersStopAtTheirBoundsAndShowWholeUnits) {
  using RuleEditorForm::kCooldown;
  using RuleEditorForm::kDuration;
  EXPECT_FALSE(RuleEditorForm::canStep(0, kDuration, -1));
  EXPECT_FALSE(RuleEditorForm::canStep(3600, kDuration, 1));
  EXPECT_EQ(RuleEditorForm::stepped(3595, kDuration, 1), 3600);
  EXPECT_EQ(RuleEditorForm::stepped(5, kDuration, -1), 0);
  EXPECT_FALSE(RuleEditorForm::canStep(60, kCooldown, -1));
  EXPECT_FALSE(RuleEditorForm::canStep(86400, kCooldown, 1));
  EXPECT_EQ(RuleEditorForm::stepped(90, kCooldown, 1), 150);
  EXPECT_EQ(RuleEditorForm::stepped(30, kCooldown, -1), 60);
  EXPECT_EQ(RuleEditorForm::cooldownText(900), QStringLiteral("15 min"));
  EXPECT_EQ(RuleEditorForm::cooldownText(90), QStringLiteral("1 min"));
  EXPECT_EQ(RuleEditorForm::durationText(120), QStringLiteral("120 s"));
  EXPECT_EQ(RuleEditorForm::durationText(1e300).size(), 303);  // no overflowing conversion
}

TEST(RuleEditorForm, LevelPickersShowOnlyTheirOwnValues) {
  EXPECT_EQ(RuleEditorForm::levelIndex(MetricID::thermalState, 2.5), 2);
  EXPECT_EQ(RuleEditorForm::levelIndex(MetricID::memPressure, 1.5), 1);
  EXPECT_EQ(RuleEditorForm::levelIndex(MetricID::memPressure, 0.7), -1);
  EXPECT_EQ(RuleEditorForm::metricIndex(MetricID::cpuUser), -1);
  EXPECT_EQ(RuleEditorForm::metricIndex(MetricID::gpuUtilization), 11);
}

// Drives the dialog as a user would and collects what it hands back.
struct EditorRig {
  bool looks = (test::prepareLook(), true);
  std::optional<AlertRule> saved;
  int saves = 0;
  RuleEditor editor;

  explicit EditorRig(const AlertRule& rule)
      : editor(rule, [this](const AlertRule& r) {
          saved = r;
          ++saves;
        }) {
    editor.setLocale(kEnglish);
  }
  template <typename T>
  T* find(const char* name) {
    auto* found = editor.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void pick(const char* combo, int index) {
    auto* box = find<QComboBox>(combo);
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  void type(const QString& text) {
    auto* field = find<QLineEdit>("ruleEditor.threshold");
    field->setText(text);
    emit field->textEdited(text);
  }
};

TEST(RuleEditor, OpeningAndSavingWritesBackNothingForEveryKindOfRule) {
  std::vector<AlertRule> rules;
  for (MetricID metric : RuleEditorForm::metrics())
    rules.push_back(RuleEditorForm::withMetric(base(), metric));
  // Values no control can show stay exactly as stored.
  AlertRule odd = base();
  odd.metric = MetricID::memUsed;
  odd.threshold = 5e7;  // "0.05" GiB in the field
  odd.cooldown = 90;
  odd.duration = 5;
  rules.push_back(odd);
  AlertRule level = base();
  level.metric = MetricID::memPressure;
  level.threshold = 0.7;  // no option of the picker
  rules.push_back(level);
  AlertRule other = base();
  other.metric = MetricID::cpuUser;  // not among the twelve
  other.threshold = 33.33;
  rules.push_back(other);
  AlertRule big = base();
  big.cooldown = 200000;  // beyond the stepper's range
  rules.push_back(big);

  for (const AlertRule& rule : rules) {
    EditorRig rig(rule);
    rig.editor.save();
    ASSERT_EQ(rig.saves, 1);
    EXPECT_EQ(*rig.saved, rule) << Metric::key(rule.metric);
  }
}

TEST(RuleEditor, ControlsShowTheRule) {
  AlertRule thermal = base();
  thermal.metric = MetricID::thermalState;
  thermal.threshold = 2.5;
  EditorRig rig(thermal);
  EXPECT_EQ(rig.find<QComboBox>("ruleEditor.level")->currentText(), QStringLiteral("Critical"));
  EXPECT_TRUE(rig.find<QComboBox>("ruleEditor.level")->isVisibleTo(&rig.editor));
  EXPECT_FALSE(rig.find<QLineEdit>("ruleEditor.threshold")->isVisibleTo(&rig.editor));

  AlertRule user = base();
  user.metric = MetricID::cpuUser;
  user.cooldown = 90;
  EditorRig other(user);
  EXPECT_EQ(other.find<QComboBox>("ruleEditor.metric")->currentIndex(), -1);
  EXPECT_EQ(other.find<QLabel>("ruleEditor.unit")->text(), QStringLiteral("%"));
  EXPECT_EQ(other.find<QLabel>("ruleEditor.cooldown.value")->text(), QStringLiteral("1 min"));
  EXPECT_EQ(rig.editor.width(), RuleEditor::kWidth);
}

TEST(RuleEditor, PickingAMetricShowsItsDefaultInDisplayUnits) {
  EditorRig rig(base());
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::memUsed));
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("0.05"));
  EXPECT_EQ(rig.find<QLabel>("ruleEditor.unit")->text(), QStringLiteral("GiB"));
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::diskFree));
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("20"));
  EXPECT_EQ(rig.find<QComboBox>("ruleEditor.condition")->currentIndex(), 1);
  // The field follows a change of locale.
  rig.editor.setLocale(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("20"));
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::memUsed));
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("0,05"));
  rig.editor.setLocale(kEnglish);
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("0.05"));
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::diskRead));
  EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), QStringLiteral("50"));
  EXPECT_EQ(rig.find<QLabel>("ruleEditor.unit")->text(), QStringLiteral("MB/s"));
  // Back to CPU: its own default, not the threshold the rule started with.
  rig.pick("ruleEditor.metric", 0);
  rig.editor.save();
  EXPECT_EQ(rig.saved->threshold, 90);
  EXPECT_EQ(rig.saved->duration, 120);
}

TEST(RuleEditor, TakesTheHeightOfTheRowsOfTheMetricPicked) {
  EditorRig cpu(base());
  EditorRig thermal(RuleEditorForm::withMetric(base(), MetricID::thermalState));
  const int withThreshold = cpu.editor.height();
  const int withLevel = thermal.editor.height();
  ASSERT_LT(withLevel, withThreshold);  // one level row in place of condition and threshold
  cpu.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::thermalState));
  EXPECT_EQ(cpu.editor.height(), withLevel);
  cpu.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::cpuTotal));
  EXPECT_EQ(cpu.editor.height(), withThreshold);
}

TEST(RuleEditor, SaveTakesATypedThresholdAndRejectsABadOne) {
  {
    EditorRig rig(base());
    rig.type(QStringLiteral("75"));  // still being typed: no editingFinished yet
    rig.editor.save();
    EXPECT_EQ(rig.saved->threshold, 75);
  }
  // What cannot be stored keeps Save disabled with a line that says why; no rule goes out, by
  // the button, by Return or by leaving the field.
  for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("-5"), QStringLiteral(""),
                             QStringLiteral("1e999"), QStringLiteral("101")}) {
    EditorRig rig(base());
    auto* save = rig.find<QPushButton>("ruleEditor.save");
    auto* problem = rig.find<QLabel>("ruleEditor.thresholdProblem");
    EXPECT_TRUE(problem->isHidden());
    const int height = rig.editor.height();
    rig.type(bad);
    EXPECT_FALSE(save->isEnabled()) << bad.toStdString();
    EXPECT_FALSE(problem->isHidden()) << bad.toStdString();
    EXPECT_EQ(problem->text(), RuleEditorForm::readThreshold(bad, MetricID::cpuTotal, kEnglish).problem);
    EXPECT_GT(rig.editor.height(), height) << "room is made for the message";
    emit rig.find<QLineEdit>("ruleEditor.threshold")->editingFinished();
    EXPECT_EQ(rig.find<QLineEdit>("ruleEditor.threshold")->text(), bad) << "the typed text stays";
    QTest::keyClick(&rig.editor, Qt::Key_Return);
    rig.editor.save();
    EXPECT_EQ(rig.saves, 0) << bad.toStdString();
    EXPECT_FALSE(rig.saved);
    // Mended, it saves.
    rig.type(QStringLiteral("80"));
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(problem->isHidden());
    EXPECT_EQ(rig.editor.height(), height);
    rig.editor.save();
    ASSERT_EQ(rig.saves, 1);
    EXPECT_EQ(rig.saved->threshold, 80);
  }
  // Picking another metric puts its own threshold in the field: the message goes.
  EditorRig rig(base());
  rig.type(QStringLiteral("-5"));
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::thermalState));
  EXPECT_TRUE(rig.find<QPushButton>("ruleEditor.save")->isEnabled());
  rig.pick("ruleEditor.metric", RuleEditorForm::metricIndex(MetricID::memUsed));
  EXPECT_TRUE(rig.find<QLabel>("ruleEditor.thresholdProblem")->isHidden());
  rig.editor.save();
  EXPECT_EQ(rig.saves, 1);
}

TEST(RuleEditor, SteppersPickersAndCancel) {
  AlertRule rule = base();
  rule.duration = 3600;
  EditorRig rig(rule);
  EXPECT_FALSE(rig.find<QToolButton>("ruleEditor.duration.increment")->isEnabled());
  rig.find<QToolButton>("ruleEditor.duration.decrement")->click();
  rig.find<QToolButton>("ruleEditor.cooldown.increment")->click();
  rig.pick("ruleEditor.severity", 0);
  rig.pick("ruleEditor.condition", 1);
  rig.find<QCheckBox>("ruleEditor.enabled")->click();
  rig.find<QPushButton>("ruleEditor.save")->click();
  ASSERT_EQ(rig.saves, 1);
  EXPECT_EQ(rig.saved->duration, 3590);
  EXPECT_EQ(rig.saved->cooldown, 1860);
  EXPECT_EQ(rig.saved->severity, Severity::info);
  EXPECT_EQ(rig.saved->comparison, AlertComparison::below);
  EXPECT_TRUE(rig.saved->isEnabled);
  EXPECT_EQ(rig.saved->id, rule.id);

  EditorRig cancelled(rule);
  cancelled.find<QToolButton>("ruleEditor.duration.decrement")->click();
  cancelled.find<QPushButton>("ruleEditor.cancel")->click();
  EXPECT_EQ(cancelled.saves, 0);
  EXPECT_EQ(cancelled.editor.result(), QDialog::Rejected);
}

// Each kind of rule in light and dark, at the editor's own size: no label is cut off.
TEST(RuleEditor, Screenshots) {
  const std::pair<AlertRule, const char*> rules[] = {
      {base(), "editor-cpu"},
      {RuleEditorForm::withMetric(base(), MetricID::thermalState), "editor-thermal"},
      {RuleEditorForm::withMetric(base(), MetricID::diskFree), "editor-disk"},
  };
  for (const auto& [rule, name] : rules) {
    EditorRig rig(rule);
    test::grabBoth(rig.editor, QStringLiteral("alerts"), QString::fromLatin1(name), rig.editor.sizeHint());
    EXPECT_TRUE(test::nothingCutOff(rig.editor)) << name;
  }
  EditorRig rig(base());
  rig.type(QStringLiteral("101"));
  test::grabBoth(rig.editor, QStringLiteral("alerts"), QStringLiteral("editor-bad-threshold"),
                 rig.editor.sizeHint());
  EXPECT_TRUE(test::nothingCutOff(rig.editor));
}

}  // namespace
}  // namespace kivo
