#include "shell/BookmarkDialog.h"

#include "texts/Localized.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kivo {

BookmarkDialog::BookmarkDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("bookmark"));
  setWindowTitle(kivo::tr("Add Bookmark"));
  setWindowModality(Qt::WindowModal);

  auto* title = new QLabel(kivo::tr("Add Bookmark"), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* message =
      new QLabel(kivo::tr("Bookmarks mark a moment in the history so you can find it again."), this);
  message->setWordWrap(true);
  note_ = new QLineEdit(this);
  note_->setObjectName(QStringLiteral("bookmark.note"));
  note_->setPlaceholderText(kivo::tr("Note (optional)"));
  note_->setAccessibleName(kivo::tr("Note (optional)"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* cancel = buttons->addButton(kivo::tr("Cancel"), QDialogButtonBox::RejectRole);
  QPushButton* add = buttons->addButton(kivo::tr("Add"), QDialogButtonBox::AcceptRole);
  cancel->setObjectName(QStringLiteral("bookmark.cancel"));
  add->setObjectName(QStringLiteral("bookmark.add"));
  add->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(this, &QDialog::accepted, this, [this] { emit bookmarkRequested(note()); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 18, 20, 14);
  layout->setSpacing(10);
  layout->addWidget(title);
  layout->addWidget(message);
  layout->addWidget(note_);
  layout->addWidget(buttons);
  setMinimumWidth(340);
}

QString BookmarkDialog::note() const {
  return note_->text();
}

}  // namespace kivo
