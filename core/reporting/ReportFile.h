#pragma once

#include "reporting/ReportGenerator.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace kivo {

namespace ReportFile {

// Writes the bytes through the checked writer (FileWriter): a failure leaves whatever was
// there before. Returns the error's text, naming the path and the reason, on failure.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

enum class Format { markdown, csv, json };

// Writes the report in the format, Markdown and CSV as UTF-8. A report that cannot be encoded
// writes nothing. Returns the error's text on failure.
std::optional<QString> exportReport(const Report& report, Format format, const QString& path,
                                    const ValueFormatter& formatter, const Localize& localize,
                                    const FindingWords& words);

}  // namespace ReportFile

}  // namespace kivo
