#include "reporting/ReportFile.h"

#include "platform/FileWriter.h"
#include "reporting/JsonWriter.h"

namespace kivo::ReportFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
  return FileWriter::write(path, bytes);
}

std::optional<QString> exportReport(const Report& report, Format format, const QString& path,
                                    const ValueFormatter& formatter, const Localize& localize,
                                    const FindingWords& words) {
  QByteArray bytes;
  try {
    switch (format) {
      case Format::markdown:
        bytes = ReportGenerator::markdown(report, formatter, localize, words).toUtf8();
        break;
      case Format::csv:
        bytes = ReportGenerator::csv(report).toUtf8();
        break;
      case Format::json:
        bytes = ReportGenerator::json(report);
        break;
    }
  } catch (const JsonEncodingError& error) {
    return QString::fromStdString(error.what());
  }
  return write(path, bytes);
}

}  // namespace kivo::ReportFile
