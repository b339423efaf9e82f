#include "features/history/HistoryFileDialogs.h"

#include "texts/Localized.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace kivo {

namespace {

class StandardDialogs final : public HistoryFileDialogs {
 public:
  std::optional<QString> saveFileName(QWidget* parent, const QString& suggestedName, const QString& filter,
                                      const QString& defaultSuffix) override {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    QFileDialog dialog(parent, tr("Export"), QDir(folder).filePath(suggestedName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
  }

  void showFailure(QWidget* parent, const QString& message) override {
    QMessageBox box(QMessageBox::Warning, tr("Export failed"), message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
  }
};

}  // namespace

std::unique_ptr<HistoryFileDialogs> HistoryFileDialogs::standard() {
  return std::make_unique<StandardDialogs>();
}

}  // namespace kivo
