#pragma once

#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "reporting/Report.h"
#include "reporting/ReportInputs.h"
#include "reporting/ReportKind.h"
#include "reporting/ReportTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace kivo {

// Maps an English text to the text shown to the reader; the identity gives the English report.
using Localize = std::function<QString(const QString&)>;

// A finding as a reader is told of it: its title and its figures in a sentence. The application
// gives its shared finding texts, so the Markdown says what the PDF and the cards say.
struct FindingWords {
  std::function<QString(const Finding&)> title;
  std::function<QString(const Finding&)> explanation;
};

// Pure functions that build, write and compare reports. No state, no input or output.
namespace ReportGenerator {

// English title key of a kind ("System Overview Report"); not localised here.
QString title(ReportKind kind);

// Builds the report of the inputs. `generated` is the moment written into the report; the
// caller passes the current time.
Report build(const ReportInputs& inputs, const ValueFormatter& formatter, const Localize& localize,
             const QDateTime& generated = QDateTime::currentDateTimeUtc());

// Text of one present summary value: thermal levels and memory-pressure words by name,
// free disk space in 1000-based bytes, anything else by its unit.
QString display(double value, MetricID metric, MetricUnit unit, const ValueFormatter& formatter,
                const Localize& localize);

// One Markdown table line: "| a | b |\n". A "|" in a cell becomes "\|" and a line break a space,
// so that a cell never ends its row.
QString line(const QStringList& cells);
// Header line, a "---" line of as many cells as headers, then every row as it stands.
QString table(const QStringList& headers, const QList<QStringList>& rows);

// The human-readable document.
QString markdown(const Report& report, const ValueFormatter& formatter, const Localize& localize,
                 const FindingWords& words);

// A finding's peak and threshold as its kind means them: a share, a level, bytes, a rate, a
// horizon in days or a number of occasions.
std::pair<QString, QString> findingFigures(const Finding& finding, const ValueFormatter& formatter,
                                           const Localize& localize);
// Every stored bucket of every metric, one line each; locale-independent.
QString csv(const Report& report);
// The JSON form of the report; throws JsonEncodingError when a number is not finite.
QByteArray json(const Report& report);
// Reads a JSON report back; throws ReportFormatError with the reason.
Report decode(const QByteArray& json);

// Averages, change and peaks of every metric both reports cover, in a's order; a is the
// earlier report. A table without rows means the reports share no metric.
ReportTable compare(const Report& a, const Report& b, const ValueFormatter& formatter,
                    const Localize& localize);

// One CSV field, quoted (with quotes doubled) when it holds a comma, a quote, a CR or an LF.
QString field(const QString& text);

}  // namespace ReportGenerator

}  // namespace kivo
