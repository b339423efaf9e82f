#include "features/reports/ReportFormat.h"

#include "texts/Localized.h"

#include <QTimeZone>

namespace kivo::ReportFormats {

QString rawValue(ReportFormat format) {
  switch (format) {
    case ReportFormat::pdf:
      return QStringLiteral("pdf");
    case ReportFormat::markdown:
      return QStringLiteral("markdown");
    case ReportFormat::csv:
      return QStringLiteral("csv");
    case ReportFormat::json:
      return QStringLiteral("json");
  }
  return {};
}

QString buttonTitle(ReportFormat format) {
  switch (format) {
    case ReportFormat::pdf:
      return QStringLiteral("PDF");
    case ReportFormat::markdown:
      return QStringLiteral("Markdown");
    case ReportFormat::csv:
      return QStringLiteral("CSV");
    case ReportFormat::json:
      return QStringLiteral("JSON");
  }
  return {};
}

QString fileExtension(ReportFormat format) {
  return format == ReportFormat::markdown ? QStringLiteral("md") : rawValue(format);
}

QString fileFilter(ReportFormat format) {
  switch (format) {
    case ReportFormat::pdf:
      return tr("PDF document (%1)").arg(QStringLiteral("*.pdf"));
    case ReportFormat::markdown:
      return tr("Markdown text (%1)").arg(QStringLiteral("*.md"));
    case ReportFormat::csv:
      return tr("Comma-separated values (%1)").arg(QStringLiteral("*.csv"));
    case ReportFormat::json:
      return tr("JSON (%1)").arg(QStringLiteral("*.json"));
  }
  return {};
}

QString proposedFileName(const Report& report, ReportFormat format) {
  const QString day =
      report.generated.toTimeZone(QTimeZone::utc()).date().toString(QStringLiteral("yyyy-MM-dd"));
  return QStringLiteral("KIVO-Monitor-%1-%2.%3")
      .arg(ReportKinds::id(report.kind), day, fileExtension(format));
}

}  // namespace kivo::ReportFormats
