#pragma once

#include "metrics/Metric.h"
#include "metrics/ValueFormatter.h"
#include "reporting/ReportKind.h"
#include "reporting/ReportTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kivo {

// Maps an English text to the text shown to the reader; the identity gives the English report.
using Localize = std::function<QString(const QString&)>;

// Pure functions that build, write and compare reports. No state, no input or output.
namespace ReportGenerator {

// English title key of a kind ("System Overview Report"); not localised here.
QString title(ReportKind kind);

// Text of one present summary value: thermal levels and memory-pressure words by name,
// free disk space in 1000-based bytes, anything else by its unit.
QString display(double value, MetricID metric, MetricUnit unit, const ValueFormatter& formatter,
                const Localize& localize);

// One Markdown table line: "| a | b |\n". A "|" in a cell becomes "\|" and a line break a space,
// so that a cell never ends its row.
QString line(const QStringList& cells);
// Header line, a "---" line of as many cells as headers, then every row as it stands.
QString table(const QStringList& headers, const QList<QStringList>& rows);

// One CSV field, quoted (with quotes doubled) when it holds a comma, a quote, a CR or an LF.
QString field(const QString& text);

}  // namespace ReportGenerator

}  // namespace kivo
