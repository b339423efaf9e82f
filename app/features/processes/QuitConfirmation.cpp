#include "features/processes/QuitConfirmation.h"

#include "collectors/ProcessSample.h"
#include "design/ElidedLabel.h"
#include "features/processes/ProcessEntries.h"
#include "features/processes/ProcessText.h"
#include "metrics/OutsideText.h"
#include "texts/Localized.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace kivo {

namespace {

// The message box's labels are set to plain text: the title and the failure text carry a
// process name, which may hold markup. A name shortened in them is whole in their tooltips.
void plainTextLabels(QMessageBox& box, const QString& whole = {}) {
  box.setTextFormat(Qt::PlainText);
  const QString shortened = ProcessText::middleElided(whole);
  for (QLabel* label : box.findChildren<QLabel*>()) {
    label->setTextFormat(Qt::PlainText);
    if (shortened != whole && label->text().contains(shortened)) label->setToolTip(plainToolTip(whole));
  }
}

// A window-modal warning over the page.
QMessageBox* warning(QWidget& page, const QString& name, const QString& title, const QString& text,
                     const QString& whole) {
  auto* box = new QMessageBox(&page);
  box->setObjectName(name);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::Warning);
  box->setText(title);
  box->setInformativeText(text);
  plainTextLabels(*box, whole);
  return box;
}

}  // namespace

QuitConfirmation::QuitConfirmation(QWidget& page, ProcessActions& actions, Find find)
    : QObject(&page), page_(page), actions_(actions), find_(std::move(find)) {}

ProcessFate QuitConfirmation::fate(const ProcessRecord& record) const {
  return actions_.fate(record.pid, record.startTime);
}

void QuitConfirmation::tellUncollected(const ProcessRecord& record, std::int32_t parentPID) {
  const ProcessRecord* parent = find_(parentPID);
  tell(QStringLiteral("processes.ended"), ProcessEntries::uncollectedTitle(record),
       ProcessEntries::uncollectedText(parentPID, parent ? std::optional(parent->name) : std::nullopt),
       OutsideText::visible(record.name));
}

void QuitConfirmation::confirm(ProcessAction action, const ProcessRecord& shown) {
  // Copied: the caller's record may belong to a sample that the next tick replaces.
  const ProcessRecord record = shown;
  // A process that has exited cannot be asked anything: say so rather than ask to confirm.
  if (const ProcessFate now = fate(record); now.kind == ProcessFate::Kind::uncollected) {
    tellUncollected(record, now.parentPID);
    return;
  }
  if (ask(QStringLiteral("processes.confirm"), QStringLiteral("end"), action,
          ProcessEntries::confirmationTitle(action, record), ProcessEntries::confirmationMessage(action),
          OutsideText::visible(record.name)))
    end(action, record);
}

void QuitConfirmation::end(ProcessAction action, const ProcessRecord& record) {
  // The start-time check inside perform keeps a pid reused meanwhile from being signalled.
  if (!actions_.perform(action, record)) {
    // It may have ended since it was confirmed.
    const ProcessFate now = fate(record);
    if (now.kind == ProcessFate::Kind::uncollected) {
      tellUncollected(record, now.parentPID);
      return;
    }
    tell(QStringLiteral("processes.failure"), ProcessEntries::failureTitle(),
         ProcessEntries::failureText(record, now.kind == ProcessFate::Kind::gone),
         OutsideText::visible(record.name));
    return;
  }
  // A program may ignore the request to quit: say so after a while, and offer to force it. One
  // that quit but whose parent does not collect it has ended: that is said instead.
  if (action == ProcessAction::quit) {
    QTimer::singleShot(quitWait_, this, [this, record] {
      const ProcessFate now = fate(record);
      if (now.kind == ProcessFate::Kind::running)
        offerForceQuit(record);
      else if (now.kind == ProcessFate::Kind::uncollected)
        tellUncollected(record, now.parentPID);
    });
  }
}

void QuitConfirmation::offerForceQuit(const ProcessRecord& record) {
  if (ask(QStringLiteral("processes.stillRunning"), QStringLiteral("forceQuit"), ProcessAction::forceQuit,
          ProcessEntries::stillRunningTitle(record), ProcessEntries::stillRunningMessage(),
          OutsideText::visible(record.name)))
    end(ProcessAction::forceQuit, record);
}

bool QuitConfirmation::ask(const QString& name, const QString& endName, ProcessAction action,
                           const QString& title, const QString& text, const QString& whole) {
  // The page, and this with it, may go while the box runs its own event loop.
  QPointer<QuitConfirmation> self(this);
  QPointer<QMessageBox> box = warning(page_, name, title, text, whole);
  QPushButton* endButton =
      box->addButton(ProcessEntries::confirmButton(action), QMessageBox::DestructiveRole);
  endButton->setObjectName(name + QLatin1Char('.') + endName);
  QPushButton* cancel = box->addButton(kivo::tr("Cancel"), QMessageBox::RejectRole);
  cancel->setObjectName(name + QStringLiteral(".cancel"));
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  box->exec();
  if (!self) return false;
  const bool confirmed = box && box->clickedButton() == endButton;
  delete box;
  return confirmed;
}

void QuitConfirmation::tell(const QString& name, const QString& title, const QString& text,
                            const QString& whole) {
  QPointer<QuitConfirmation> self(this);
  QPointer<QMessageBox> box = warning(page_, name, title, text, whole);
  box->addButton(kivo::tr("OK"), QMessageBox::RejectRole);
  box->exec();
  if (!self) return;
  delete box;
}

}  // namespace kivo
