#pragma once

#include <QDialog>

class QLineEdit;

namespace kivo {

// "Add Bookmark" with an optional note; Add hands the note, as typed, to the caller.
class BookmarkDialog : public QDialog {
  Q_OBJECT
 public:
  explicit BookmarkDialog(QWidget* parent = nullptr);
  QString note() const;

 signals:
  void bookmarkRequested(const QString& note);

 private:
  QLineEdit* note_ = nullptr;
};

}  // namespace kivo
