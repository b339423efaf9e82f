#pragma once

#include "design/Tokens.h"
#include "features/reports/ReportFormat.h"
#include "metrics/ValueFormatter.h"
#include "reporting/Report.h"
#include "reporting/ReportGenerator.h"
#include "reporting/ReportTable.h"
#include "storage/Severity.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kivo {

// What the preview card shows of one report, every text ready.
struct ReportPreview {
  struct FindingLine {
    QString text;
    Severity severity = Severity::info;
  };
  QString title;
  QString period;       // "from → to"
  ReportTable metrics;  // untitled: one row per series summary
  std::vector<ReportTable> tables;
  std::vector<FindingLine> findings;
  QStringList limitations;  // each "• text"
};

// One finished build: the number it was requested under, its report and preview.
struct ReportBuild {
  std::uint64_t number = 0;
  std::optional<Report> report;
  ReportPreview preview;
};

// The bytes of an export, or why there are none.
struct ExportData {
  std::optional<QByteArray> bytes;
  QString error;
};

struct ReportComparison {
  ReportTable table;
  QString nameA;
  QString nameB;
};

// The outcome of a comparison: a message to show (absent clears it) and, when two reports
// were read, the comparison that replaces the one on the page.
struct ComparisonOutcome {
  std::optional<ReportComparison> comparison;
  std::optional<QString> message;
};

namespace ReportsPresenter {

// Rows past this are left off the page (they stay in the report and its exports).
inline constexpr int kMaxTableRows = 40;
// A report file larger than this is not one of ours.
inline constexpr qint64 kMaxReportFileBytes = 16 * 1024 * 1024;

ReportPreview preview(const Report& report, const ValueFormatter& formatter, const Localize& localize);
// The metric table: name, minimum, average, maximum ("—" when absent), samples, resolution, gaps.
ReportTable metricTable(const Report& report, const ValueFormatter& formatter);

// The file's bytes, made before any dialog opens. A report that cannot be encoded gives no
// bytes and the reason, so nothing is written.
ExportData exportData(const Report& report, ReportFormat format, const ValueFormatter& formatter,
                      const Localize& localize);

// Reads one saved JSON report: the report, or why there is none (the file cannot be read, is
// larger than kMaxReportFileBytes or is not a report).
struct ReadReport {
  enum class Failure { unreadable, tooLarge, notReport };
  std::optional<Report> report;
  Failure failure = Failure::notReport;  // when there is no report
};
ReadReport readReport(const QString& path);

// The comparison of the chosen files: exactly two, both reports, the earlier (by `from`, stable
// in the given order) as A.
ComparisonOutcome compare(const QStringList& paths, const ValueFormatter& formatter,
                          const Localize& localize);

// "A: %1   ·   B: %2".
QString comparisonNames(const ReportComparison& comparison);

}  // namespace ReportsPresenter

}  // namespace kivo
