#include "reporting/ReportGenerator.h"

#include "metrics/OutsideText.h"
#include "reporting/ExportText.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace kivo::ReportGenerator {

namespace {

// Characters that would make outside text (process names, the host name, notes) into
// emphasis, a link, an image, code or HTML; escaped, they read as themselves.
bool isMarkup(QChar c) {
  switch (c.unicode()) {
    case u'\\':
    case u'`':
    case u'*':
    case u'_':
    case u'[':
    case u']':
    case u'<':
    case u'>':
    case u'&':
    case u'~':
    case u'|':
      return true;
    default:
      return false;
  }
}

// Text wholly in one code span (the sources column) shows literally as it is.
bool isCodeSpan(const QString& text) {
  return text.size() >= 2 && text.front() == u'`' && text.back() == u'`' && text.count(u'`') == 2;
}

// Every cell, heading and item in its visible form: outside text (a process or host name, a
// title read back from a file) may hold anything. Its line breaks show as marks, so a table
// cell, a heading or a list item stays on its line.
void appendFlat(QString& out, const QString& text) {
  const QString cell = OutsideText::visibleCell(text);
  const bool code = isCodeSpan(cell);
  for (qsizetype i = 0; i < cell.size(); ++i) {
    const QChar c = cell[i];
    // A bar ends a table cell even inside a code span.
    if (code ? c == u'|' && i > 0 && i + 1 < cell.size() : isMarkup(c)) {
      out += u'\\';
      out += c;
    } else {
      out += c;
    }
  }
}

void appendLine(QString& out, const QStringList& cells) {
  out += QStringLiteral("| ");
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) out += QStringLiteral(" | ");
    appendFlat(out, cells[i]);
  }
  out += QStringLiteral(" |\n");
}

QString heading(const QString& text) {
  QString out;
  appendFlat(out, text);
  return out;
}

QString optionalValue(const std::optional<double>& value, const ReportSeriesSummary& s,
                      const ValueFormatter& f, const Localize& L) {
  return value ? display(*value, s.metric, s.unit, f, L) : QStringLiteral("—");
}

double seconds(const QDateTime& from, const QDateTime& to) {
  return static_cast<double>(from.msecsTo(to)) / 1000.0;
}

QString severityTitle(Severity severity, const Localize& L) {
  switch (severity) {
    case Severity::warning:
      return L(QStringLiteral("Warning"));
    case Severity::critical:
      return L(QStringLiteral("Critical"));
    case Severity::info:
      break;
  }
  return L(QStringLiteral("Info"));
}

}  // namespace

std::pair<QString, QString> findingFigures(const Finding& finding, const ValueFormatter& f,
                                           const Localize& L) {
  const MetricUnit unit = MetricCatalog::descriptor(finding.metric).unit;
  const QString peak = display(finding.peak, finding.metric, unit, f, L);
  switch (finding.kind) {
    case FindingKind::diskExhaustion:
      // The horizon of the projection, in days.
      return {peak, f.duration(finding.threshold * 86400)};
    case FindingKind::processSpikes:
      // A share of one core, and the occasions it takes to be a pattern.
      return {f.percent(finding.peak, 0), f.number(finding.threshold, 0)};
    default:
      return {peak, display(finding.threshold, finding.metric, unit, f, L)};
  }
}

QString markdown(const Report& report, const ValueFormatter& f, const Localize& L,
                 const FindingWords& words) {
  QString md;
  md += QStringLiteral("# ") + heading(report.title) + QStringLiteral("\n\n");
  md += QStringLiteral("KIVO Monitor ") + report.appVersion + QStringLiteral(" · ") +
        L(QStringLiteral("Generated")) + u' ' + f.date(report.generated) + QStringLiteral("\n\n");
  const auto [from, to] = f.period(report.from, report.to);
  md += QStringLiteral("**") + L(QStringLiteral("Period")) + QStringLiteral("**: ") + from +
        QStringLiteral(" → ") + to + QStringLiteral("  \n");
  md += QStringLiteral("**") + L(QStringLiteral("Sampling interval")) + QStringLiteral("**: ") +
        f.number(report.samplingInterval, 1) + QStringLiteral(" s\n\n");

  md += QStringLiteral("## ") + L(QStringLiteral("System")) + QStringLiteral("\n\n");
  md += table({L(QStringLiteral("Item")), L(QStringLiteral("Value"))}, report.system);

  QList<QStringList> metrics;
  metrics.reserve(static_cast<qsizetype>(report.series.size()));
  for (const auto& s : report.series) {
    metrics.append({s.name, optionalValue(s.minimum, s, f, L), optionalValue(s.average, s, f, L),
                    optionalValue(s.maximum, s, f, L), QString::number(s.sampleCount), f.duration(s.step),
                    L(QString::fromLatin1(Quality::rawValue(s.quality)))});
  }
  md += QStringLiteral("\n## ") + L(QStringLiteral("Metrics")) + QStringLiteral("\n\n");
  md += table({L(QStringLiteral("Metric")), L(QStringLiteral("Minimum")), L(QStringLiteral("Average")),
               L(QStringLiteral("Maximum")), L(QStringLiteral("Samples")), L(QStringLiteral("Resolution")),
               L(QStringLiteral("Quality"))},
              metrics);

  for (const auto& t : report.tables) {
    md += QStringLiteral("\n## ") + heading(t.title) + QStringLiteral("\n\n");
    md += table(t.headers, t.rows);
  }

  if (!report.findings.empty()) {
    QList<QStringList> rows;
    for (const auto& finding : report.findings) {
      const auto [peak, threshold] = findingFigures(finding, f, L);
      rows.append({words.title(finding), severityTitle(finding.severity, L), f.date(finding.start),
                   f.duration(seconds(finding.start, finding.end)), peak, threshold,
                   QString::number(finding.sampleCount), words.explanation(finding)});
    }
    md += QStringLiteral("\n## ") + L(QStringLiteral("Findings")) + QStringLiteral("\n\n");
    md += table({L(QStringLiteral("Finding")), L(QStringLiteral("Severity")), L(QStringLiteral("Start")),
                 L(QStringLiteral("Duration")), L(QStringLiteral("Peak")), L(QStringLiteral("Threshold")),
                 L(QStringLiteral("Samples")), L(QStringLiteral("Details"))},
                rows);
  }

  QList<QStringList> methods;
  for (const auto& s : report.series)
    methods.append({s.name, QString::fromLatin1(Unit::rawValue(s.unit)), u'`' + s.source + u'`', s.method});
  md += QStringLiteral("\n## ") + L(QStringLiteral("Collection methods")) + QStringLiteral("\n\n");
  md += table({L(QStringLiteral("Metric")), L(QStringLiteral("Unit")), L(QStringLiteral("Source")),
               L(QStringLiteral("Method"))},
              methods);

  md += QStringLiteral("\n## ") + L(QStringLiteral("Data gaps")) + QStringLiteral("\n\n");
  QList<QStringList> gaps;
  for (const auto& s : report.series) {
    if (s.gaps.empty()) continue;
    double total = 0;
    double longest = 0;
    for (const auto& gap : s.gaps) {
      const double length = gap.end - gap.start;
      total += length;
      longest = std::max(longest, length);
    }
    gaps.append({s.name, QString::number(s.gaps.size()), f.duration(total), f.duration(longest)});
  }
  if (gaps.isEmpty()) {
    md += L(QStringLiteral("No gap in the selected period.")) + u'\n';
  } else {
    md += table({L(QStringLiteral("Metric")), L(QStringLiteral("Gaps")), L(QStringLiteral("Total missing")),
                 L(QStringLiteral("Longest"))},
                gaps);
  }

  md += QStringLiteral("\n## ") + L(QStringLiteral("Limitations")) + QStringLiteral("\n\n");
  QStringList items;
  items.reserve(report.limitations.size());
  for (const auto& sentence : report.limitations) {
    QString item = QStringLiteral("- ");
    appendFlat(item, sentence);
    items.append(item);
  }
  md += items.join(u'\n') + u'\n';
  return md;
}

QString csv(const Report& report) {
  std::string out =
      "metric,name,unit,quality,tier,bucket_seconds,timestamp_iso8601,timestamp_unix,min,avg,max,samples\n";
  std::size_t points = 0;
  for (const auto& s : report.series) points += s.points.size();
  out.reserve(out.size() + points * 160);
  std::string prefix;
  for (const auto& s : report.series) {
    if (s.points.empty()) continue;
    // Everything before the timestamp is the same on every line of the series.
    prefix.clear();
    prefix += Metric::key(s.metric);
    prefix += ',';
    prefix += field(OutsideText::visible(s.name)).toStdString();
    prefix += ',';
    prefix += Unit::rawValue(s.unit);
    prefix += ',';
    prefix += Quality::rawValue(s.quality);
    prefix += ',';
    prefix += StoreTiers::rawValue(s.tier);
    prefix += ',';
    ExportText::appendShortestDecimal(prefix, s.step);
    prefix += ',';
    for (const auto& p : s.points) {
      out += prefix;
      ExportText::appendIsoDate(out, p.time);
      out += ',';
      ExportText::appendFixed3(out, p.time);
      out += ',';
      ExportText::appendShortestDecimal(out, p.min);
      out += ',';
      ExportText::appendShortestDecimal(out, p.avg);
      out += ',';
      ExportText::appendShortestDecimal(out, p.max);
      out += ',';
      char count[24];
      const auto [end, ec] = std::to_chars(count, count + sizeof count, p.count);
      out.append(count, end);
      out += '\n';
    }
  }
  return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

QByteArray json(const Report& report) {
  return report.toJson();
}

Report decode(const QByteArray& json) {
  return Report::fromJson(json);
}

QString line(const QStringList& cells) {
  QString out;
  appendLine(out, cells);
  return out;
}

QString table(const QStringList& headers, const QList<QStringList>& rows) {
  QString out;
  appendLine(out, headers);
  QStringList rule;
  rule.reserve(headers.size());
  for (qsizetype i = 0; i < headers.size(); ++i) rule.append(QStringLiteral("---"));
  appendLine(out, rule);
  for (const auto& row : rows) appendLine(out, row);
  return out;
}

QString field(const QString& text) {
  bool quote = false;
  for (const QChar c : text) {
    if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
      quote = true;
      break;
    }
  }
  if (!quote) return text;
  QString out;
  out.reserve(text.size() + 2);
  out += u'"';
  for (const QChar c : text) {
    if (c == u'"') out += u'"';
    out += c;
  }
  out += u'"';
  return out;
}

}  // namespace kivo::ReportGenerator
