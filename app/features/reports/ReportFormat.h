#pragma once

#include "reporting/Report.h"

#include <QString>

#include <array>

namespace kivo {

// The four file formats a report is exported in, in the order of the export buttons.
enum class ReportFormat { pdf, markdown, csv, json };

namespace ReportFormats {

inline constexpr std::array<ReportFormat, 4> allCases{ReportFormat::pdf, ReportFormat::markdown,
                                                      ReportFormat::csv, ReportFormat::json};
// "pdf", "markdown", "csv", "json".
QString rawValue(ReportFormat format);
// The button title, never localised: "PDF", "Markdown", "CSV", "JSON".
QString buttonTitle(ReportFormat format);
// "pdf", "md", "csv", "json".
QString fileExtension(ReportFormat format);
// The save dialog's only file type ("PDF document (*.pdf)").
QString fileFilter(ReportFormat format);
// "KIVO-Monitor-<kind>-<YYYY-MM-DD of the generated moment in UTC>.<extension>".
QString proposedFileName(const Report& report, ReportFormat format);

}  // namespace ReportFormats

}  // namespace kivo
