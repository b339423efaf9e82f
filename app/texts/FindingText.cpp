#include "texts/FindingText.h"

#include "metrics/OutsideText.h"
#include "texts/Localized.h"

namespace kivo::FindingText {

namespace {

// Abbreviated date without time in the formatter's locale and the local zone ("Jan 5, 2027").
QString abbreviatedDate(const QDateTime& date, const QLocale& locale) {
  QString format = locale.dateFormat(QLocale::LongFormat);
  format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
  format.remove(QStringLiteral("dddd, "));
  format.remove(QStringLiteral("dddd "));
  return locale.toString(date.toLocalTime().date(), format.trimmed());
}

}  // namespace

QString title(const Finding& finding) {
  switch (finding.kind) {
    case FindingKind::sustainedCPU:
      return tr("Sustained high CPU usage");
    case FindingKind::memoryPressure:
      return tr("Elevated memory pressure");
    case FindingKind::swapGrowth:
      return tr("Swap usage grew");
    case FindingKind::diskExhaustion:
      return tr("Startup volume is filling up");
    case FindingKind::networkAnomaly:
      return finding.metric == MetricID::netUp ? tr("Unusual upload volume") : tr("Unusual download volume");
    case FindingKind::processSpikes:
      return tr("“%1” repeatedly used a full core",
                OutsideText::visibleCell(finding.subject.value_or(QString())));
    case FindingKind::thermalPressure:
      return tr("Thermal pressure");
  }
  return QString();
}

QString explanation(const Finding& finding, const ValueFormatter& f) {
  const QString duration = f.duration(finding.duration());
  switch (finding.kind) {
    case FindingKind::sustainedCPU:
      return tr("Average CPU usage stayed above %1 for %2 (mean %3, peak %4).",
                f.percent(finding.threshold, 0), duration, f.percent(finding.mean, 1),
                f.percent(finding.peak, 1));
    case FindingKind::memoryPressure:
      return tr("The kernel reported memory pressure at warning level or higher for %1. Highest level: %2.",
                duration, finding.peak >= 2 ? tr("Critical") : tr("Warning"));
    case FindingKind::swapGrowth:
      return tr("Swap in use grew by %1 over %2, reaching %3.", f.bytes(finding.mean, true), duration,
                f.bytes(finding.peak, true));
    case FindingKind::diskExhaustion:
      return tr(
          "Available space fell by about %1 per day over the last %2. %3 remain. At that rate the volume "
          "would "
          "be full around %4. This is a straight-line estimate, not a measurement.",
          f.bytes(finding.mean, false), duration, f.bytes(finding.peak, false),
          finding.projected && finding.projected->isValid() ? abbreviatedDate(*finding.projected, f.locale)
                                                            : QStringLiteral("—"));
    case FindingKind::networkAnomaly:
      return trCount(
                 "%n one-minute period carried far more traffic than usual: up to %1, against a typical %2.",
                 "%n one-minute periods carried far more traffic than usual: up to %1, against a typical "
                 "%2.",
                 finding.occurrences)
          .arg(f.rate(finding.peak), f.rate(finding.threshold));
    case FindingKind::processSpikes: {
      const QString occasions = trCount("%n occasion", "%n occasions", finding.occurrences);
      const QString when = finding.concurrent ? tr("%1, up to %2 processes at once", occasions,
                                                   QString::number(*finding.concurrent))
                                              : occasions;
      // Both shares in the formatter's one style of percent.
      return tr(
          "It kept at least %1 of one core busy for 30 seconds or more on %2. Highest reading: %3 of one "
          "core.",
          f.percent(80, 0), when, f.percent(finding.peak, 0));
    }
    case FindingKind::thermalPressure:
      return tr("The kernel reported a thermal state of Serious or higher for %1.", duration);
  }
  return QString();
}

QString action(const Finding& finding) {
  switch (finding.kind) {
    case FindingKind::sustainedCPU:
      return tr(
          "Open Processes sorted by CPU to see what is running. Sustained load is normal during builds, "
          "exports "
          "or indexing.");
    case FindingKind::memoryPressure:
      return tr(
          "Look at the top processes by memory and close what you do not need. Pressure, not free memory, is "
          "the signal that matters.");
    case FindingKind::swapGrowth:
      return tr(
          "Growing swap means memory was needed beyond the installed RAM. Check which processes hold the "
          "most "
          "memory.");
    case FindingKind::diskExhaustion:
      return tr("Review large files in the file manager before the volume fills.");
    case FindingKind::networkAnomaly:
      return tr(
          "If you were not expecting a large transfer (backup, sync, update), check which apps were active "
          "at "
          "that time.");
    case FindingKind::processSpikes:
      return tr("If this is not expected work for that process, check it for an update or a runaway task.");
    case FindingKind::thermalPressure:
      return tr(
          "Make sure the vents are clear and the computer is on a hard surface. One event alone does not "
          "indicate a hardware fault.");
  }
  return QString();
}

FindingWords words(const ValueFormatter& formatter) {
  return {[](const Finding& finding) { return title(finding); },
          [formatter](const Finding& finding) { return explanation(finding, formatter); }};
}

}  // namespace kivo::FindingText
