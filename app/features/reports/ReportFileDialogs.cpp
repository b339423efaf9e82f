#include "features/reports/ReportFileDialogs.h"

#include "texts/Localized.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace kivo {

namespace {

QString startFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

std::optional<QString> DesktopReportFileDialogs::saveLocation(QWidget* parent, const QString& proposedName,
                                                              ReportFormat format) {
  const QString path =
      QFileDialog::getSaveFileName(parent, tr("Export Report"), QDir(startFolder()).filePath(proposedName),
                                   ReportFormats::fileFilter(format));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QStringList> DesktopReportFileDialogs::reportsToCompare(QWidget* parent,
                                                                      const QString& folder) {
  const QStringList paths =
      QFileDialog::getOpenFileNames(parent, tr("Choose two JSON reports exported by KIVO Monitor."),
                                    !folder.isEmpty() && QDir(folder).exists() ? folder : startFolder(),
                                    ReportFormats::fileFilter(ReportFormat::json));
  if (paths.isEmpty()) return std::nullopt;
  return paths;
}

}  // namespace kivo
