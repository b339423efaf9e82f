#include "features/processes/ProcessEntries.h"

#include "collectors/ProcessSample.h"
#include "features/processes/ProcessText.h"
#include "metrics/OutsideText.h"
#include "texts/Localized.h"

namespace kivo::ProcessEntries {

std::vector<ProcessEntry> entries(const ProcessRecord& record, std::uint32_t uid, std::int32_t ownPID) {
  std::vector<ProcessEntry> list;
  if (record.path) list.push_back(ProcessEntry::showInFileManager);
  list.push_back(ProcessEntry::copyPID);
  if (record.uid == uid && record.pid != ownPID) {
    list.push_back(ProcessEntry::quit);
    // No signal reaches a process that has exited: Quit… says why.
    if (!record.ended) list.push_back(ProcessEntry::forceQuit);
  }
  return list;
}

QString title(ProcessEntry entry) {
  switch (entry) {
    case ProcessEntry::showInFileManager:
      return tr("Show in File Manager");
    case ProcessEntry::copyPID:
      return tr("Copy PID");
    case ProcessEntry::quit:
      return tr("Quit…");
    case ProcessEntry::forceQuit:
      return tr("Force Quit…");
  }
  return {};
}

QString objectName(ProcessEntry entry) {
  switch (entry) {
    case ProcessEntry::showInFileManager:
      return QStringLiteral("processes.showInFileManager");
    case ProcessEntry::copyPID:
      return QStringLiteral("processes.copyPID");
    case ProcessEntry::quit:
      return QStringLiteral("processes.quit");
    case ProcessEntry::forceQuit:
      return QStringLiteral("processes.forceQuit");
  }
  return {};
}

namespace {

// A name in a dialog's text: on one line and of bounded length.
QString shownName(const ProcessRecord& record) {
  return ProcessText::middleElided(OutsideText::visible(record.name));
}

}  // namespace

QString confirmationTitle(ProcessAction action, const ProcessRecord& record) {
  const QString name = shownName(record);
  const QString pid = QString::number(record.pid);
  return action == ProcessAction::forceQuit ? tr("Force quit “%1” (PID %2)?", name, pid)
                                            : tr("Quit “%1” (PID %2)?", name, pid);
}

QString confirmationMessage(ProcessAction action) {
  return action == ProcessAction::forceQuit
             ? tr("The process ends immediately. Unsaved changes in it are lost.")
             : tr("The process is asked to quit and may save its work first.");
}

QString confirmButton(ProcessAction action) {
  return action == ProcessAction::forceQuit ? tr("Force Quit") : tr("Quit");
}

QString failureTitle() {
  return tr("Could not end the process");
}

QString failureText(const ProcessRecord& record, bool ended) {
  if (ended) return tr("“%1” has already ended.", shownName(record));
  return tr("Linux did not allow KIVO Monitor to end “%1”.", shownName(record));
}

QString uncollectedTitle(const ProcessRecord& record) {
  return tr("“%1” has already ended", shownName(record));
}

QString uncollectedText(std::int32_t parentPID, const std::optional<QString>& parentName) {
  const QString rest = tr(
      "It uses no memory and no CPU, and no signal reaches it; it goes away once its parent collects it or "
      "quits.");
  if (parentName)
    return tr("Its parent, “%1” (PID %2), has not collected it yet.",
              ProcessText::middleElided(OutsideText::visible(*parentName)), QString::number(parentPID)) +
           u' ' + rest;
  return tr("Its parent (PID %1) has not collected it yet.", QString::number(parentPID)) + u' ' + rest;
}

QString stillRunningTitle(const ProcessRecord& record) {
  return tr("“%1” is still running", shownName(record));
}

QString stillRunningMessage() {
  return tr("It did not quit when asked. Force Quit ends it immediately; unsaved changes in it are lost.");
}

QString noFileManagerTitle() {
  return tr("Could not show the file");
}

QString noFileManagerText(const QString& path) {
  return tr("No file manager could show “%1”.", ProcessText::middleElided(OutsideText::visible(path)));
}

}  // namespace kivo::ProcessEntries
