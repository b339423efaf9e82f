#pragma once

#include "analysis/Finding.h"
#include "analysis/IntelligenceThresholds.h"
#include "design/Tokens.h"
#include "metrics/ValueFormatter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kivo {

// One finding's card, decided without a display.
struct FindingCardState {
  QString id;
  QString symbol;
  DynamicColor color;
  QString title;          // may name a process: shown as plain text
  QString capsule;        // the severity's title in capitals
  bool estimate = false;  // only disk exhaustion is a projection
  QString explanation;
  QString action;
  QString metric;
  QString from;
  QString durationCaption;  // "Duration", or for repeated spikes the span from the first to the last
  QString duration;
  QString samplesCaption;  // "Samples", or what a repeated finding counted
  QString samples;
  bool operator==(const FindingCardState&) const = default;
};

namespace InsightsPresenter {

// "just now", "1 minute ago", "5 minutes ago", hours, then days; a date ahead of now reads
// "just now".
QString relativeTime(const QDateTime& then, const QDateTime& now);
// "Analysed 5 minutes ago"; absent before the first analysis.
std::optional<QString> analysedText(const std::optional<QDateTime>& updated, const QDateTime& now);
FindingCardState card(const Finding& finding, const ValueFormatter& format);
std::vector<FindingCardState> cards(const std::vector<Finding>& findings, const ValueFormatter& format);
// The seven sentences of "What is checked", with the thresholds now in force; the thermal check
// says it has nothing to check on a computer without thermal zones.
QStringList ruleLines(const IntelligenceThresholds& thresholds, const ValueFormatter& format,
                      bool thermalZones = true);
// A day count truncated toward zero as plain decimal digits, whatever its size; "—" when not finite.
QString wholeDays(double days);

}  // namespace InsightsPresenter

}  // namespace kivo
