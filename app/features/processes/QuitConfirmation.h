#pragma once

#include "desktop/ProcessActions.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

class QWidget;

namespace kivo {

struct ProcessRecord;

// Ending a process from the processes page: asks first, sends the request, and says what became
// of it (a failure, a process that has already ended and waits for its parent, or one that
// ignored Quit, which is then offered Force Quit). Every box is window-modal over the page and
// shows process names as plain text.
class QuitConfirmation : public QObject {
 public:
  // A record of the current sample by pid (the parent named in "has already ended"), or null.
  using Find = std::function<const ProcessRecord*(std::int32_t pid)>;

  // actions: how the process is signalled (the page's; tests pass a recorder).
  QuitConfirmation(QWidget& page, ProcessActions& actions, Find find);

  // Asks to quit or force quit the process of the record; on confirmation ends it.
  void confirm(ProcessAction action, const ProcessRecord& record);
  // A window-modal box with one OK button; `whole` is a name shortened in the text.
  void tell(const QString& name, const QString& title, const QString& text, const QString& whole = {});
  // How long a quit request may take before Force Quit is offered (tests shorten it).
  void setQuitWait(std::chrono::milliseconds wait) { quitWait_ = wait; }

 private:
  void end(ProcessAction action, const ProcessRecord& record);
  void offerForceQuit(const ProcessRecord& record);
  // A window-modal question with the action's destructive button (`name`.`endName`) and Cancel
  // (`name`.cancel, the default); true only when the page is still there and the action was chosen.
  bool ask(const QString& name, const QString& endName, ProcessAction action, const QString& title,
           const QString& text, const QString& whole);
  // What became of the process of the record (its pid with the same start time).
  ProcessFate fate(const ProcessRecord& record) const;
  // Says that the process has exited and who has not collected it.
  void tellUncollected(const ProcessRecord& record, std::int32_t parentPID);

  QWidget& page_;
  ProcessActions& actions_;
  Find find_;
  std::chrono::milliseconds quitWait_{3000};
};

}  // namespace kivo
