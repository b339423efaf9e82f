#include "reporting/ReportFile.h"

#include "reporting/JsonWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace kivo::ReportFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
  if (path.isEmpty()) return QStringLiteral("No file name was given.");
  if (QFileInfo(path).isDir()) return QStringLiteral("“%1” is a folder.").arg(path);
  QSaveFile file(path);
  // Never fall back to writing in place: a failure must not truncate the old file.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("Cannot write “%1”: %2").arg(path, file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const QString error = file.errorString();
    file.cancelWriting();
    return QStringLiteral("Cannot write “%1”: %2").arg(path, error);
  }
  if (!file.commit()) return QStringLiteral("Cannot write “%1”: %2").arg(path, file.errorString());
  return std::nullopt;
}

std::optional<QString> exportReport(const Report& report, Format format, const QString& path,
                                    const ValueFormatter& formatter, const Localize& localize) {
  QByteArray bytes;
  try {
    switch (format) {
      case Format::markdown:
        bytes = ReportGenerator::markdown(report, formatter, localize).toUtf8();
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
