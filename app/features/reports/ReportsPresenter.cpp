#include "features/reports/ReportsPresenter.h"

#include "metrics/OutsideText.h"
#include "pdf/PdfReportRenderer.h"
#include "reporting/JsonWriter.h"
#include "texts/AlertText.h"
#include "texts/FindingText.h"
#include "texts/Localized.h"

#include <QFile>

#include <algorithm>
#include <exception>

namespace kivo::ReportsPresenter {

namespace {

QString figure(const std::optional<double>& value, MetricID metric, const ValueFormatter& formatter) {
  return value ? AlertText::formatted(*value, metric, formatter) : QStringLiteral("—");
}

// A report's texts may come from a file, and its tables hold host, volume and process names:
// every cell in its visible form.
ReportTable visibleTable(ReportTable table) {
  table.title = OutsideText::visible(table.title);
  for (QStringList& row : table.rows) {
    for (QString& cell : row) cell = OutsideText::visibleCell(cell);
  }
  return table;
}

}  // namespace

ReportTable metricTable(const Report& report, const ValueFormatter& formatter) {
  ReportTable table;
  table.headers = {tr("Metric"),  tr("Minimum"),    tr("Average"), tr("Maximum"),
                   tr("Samples"), tr("Resolution"), tr("Gaps")};
  table.rows.reserve(static_cast<qsizetype>(report.series.size()));
  for (const ReportSeriesSummary& summary : report.series) {
    table.rows.append({OutsideText::visible(summary.name), figure(summary.minimum, summary.metric, formatter),
                       figure(summary.average, summary.metric, formatter),
                       figure(summary.maximum, summary.metric, formatter),
                       QString::number(summary.sampleCount), formatter.duration(summary.step),
                       QString::number(summary.gaps.size())});
  }
  return table;
}

ReportPreview preview(const Report& report, const ValueFormatter& formatter, const Localize& localize) {
  ReportPreview preview;
  preview.title = OutsideText::visible(report.title);
  const auto [from, to] = formatter.period(report.from, report.to);
  preview.period = tr("%1 → %2", from, to);
  preview.metrics = metricTable(report, formatter);
  preview.tables.reserve(report.tables.size());
  for (const ReportTable& table : report.tables) preview.tables.push_back(visibleTable(table));
  for (const Finding& finding : report.findings)
    preview.findings.push_back({FindingText::title(finding), finding.severity});
  for (const QString& limitation : report.limitations)
    preview.limitations.append(localize(QStringLiteral("• %1")).arg(OutsideText::visible(limitation)));
  return preview;
}

ExportData exportData(const Report& report, ReportFormat format, const ValueFormatter& formatter,
                      const Localize& localize) {
  switch (format) {
    case ReportFormat::pdf: {
      auto bytes = PdfReportRenderer(report, formatter).render();
      if (!bytes || bytes->isEmpty()) return {std::nullopt, tr("The PDF could not be made.")};
      return {std::move(bytes), {}};
    }
    case ReportFormat::markdown:
      return {ReportGenerator::markdown(report, formatter, localize, FindingText::words(formatter)).toUtf8(),
              {}};
    case ReportFormat::csv:
      return {ReportGenerator::csv(report).toUtf8(), {}};
    case ReportFormat::json:
      try {
        return {ReportGenerator::json(report), {}};
      } catch (const JsonEncodingError& error) {
        return {std::nullopt,
                tr("The report could not be written as JSON: %1", QString::fromUtf8(error.what()))};
      }
  }
  return {std::nullopt, {}};
}

ReadReport readReport(const QString& path) {
  using Failure = ReadReport::Failure;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, Failure::unreadable};
  // Read one byte past the cap, so a longer file is recognised without reading it whole.
  const QByteArray bytes = file.read(kMaxReportFileBytes + 1);
  if (bytes.size() > kMaxReportFileBytes) return {std::nullopt, Failure::tooLarge};
  try {
    return {ReportGenerator::decode(bytes), Failure::notReport};
  } catch (const std::exception&) {
    return {std::nullopt, Failure::notReport};
  }
}

ComparisonOutcome compare(const QStringList& paths, const ValueFormatter& formatter,
                          const Localize& localize) {
  if (paths.size() != 2) return {std::nullopt, tr("Select exactly two reports.")};
  std::vector<Report> reports;
  bool tooLarge = false;
  for (const QString& path : paths) {
    ReadReport read = readReport(path);
    if (read.report)
      reports.push_back(std::move(*read.report));
    else
      tooLarge = tooLarge || read.failure == ReadReport::Failure::tooLarge;
  }
  if (reports.size() < 2 && tooLarge) {
    return {std::nullopt, tr("One of the files is too large to be a KIVO Monitor report (more than %1).",
                             formatter.bytes(static_cast<double>(kMaxReportFileBytes), true))};
  }
  if (reports.size() < 2) return {std::nullopt, tr("One of the files is not a KIVO Monitor report.")};
  std::stable_sort(reports.begin(), reports.end(),
                   [](const Report& a, const Report& b) { return a.from < b.from; });
  ReportComparison comparison{
      visibleTable(ReportGenerator::compare(reports[0], reports[1], formatter, localize)),
      formatter.date(reports[0].from), formatter.date(reports[1].from)};
  std::optional<QString> message;
  if (comparison.table.rows.isEmpty()) message = tr("The two reports share no metric.");
  return {std::move(comparison), std::move(message)};
}

QString comparisonNames(const ReportComparison& comparison) {
  return tr("A: %1   ·   B: %2", comparison.nameA, comparison.nameB);
}

}  // namespace kivo::ReportsPresenter
