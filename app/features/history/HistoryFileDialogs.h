#pragma once

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace kivo {

// The save dialog and the failure message of the exports, behind an interface so tests script
// the chosen path and read the message instead of showing a dialog.
class HistoryFileDialogs {
 public:
  virtual ~HistoryFileDialogs() = default;

  // A path to write to, or none when the user cancels. suggestedName is the file name offered;
  // defaultSuffix ("csv", "png") is added to a name typed without it.
  virtual std::optional<QString> saveFileName(QWidget* parent, const QString& suggestedName,
                                              const QString& filter, const QString& defaultSuffix) = 0;
  // Tells the user a file could not be written.
  virtual void showFailure(QWidget* parent, const QString& message) = 0;

  // QFileDialog and a window-modal message box.
  static std::unique_ptr<HistoryFileDialogs> standard();
};

}  // namespace kivo
