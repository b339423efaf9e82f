#pragma once

#include "design/ToneLabel.h"

#include <QTimer>

namespace kivo {

class MonitorModel;

// A short line that says for a few seconds whether a bookmark just asked for was kept (the menu
// command and its shortcut add one without a dialog); hidden otherwise. Object name
// "bookmark.added".
class BookmarkNote : public ToneLabel {
  Q_OBJECT
 public:
  static constexpr int kShownMs = 4'000;

  explicit BookmarkNote(MonitorModel& model, QWidget* parent = nullptr);

  // Test seam: how long the line stays.
  void setDuration(int milliseconds) { hide_.setInterval(milliseconds); }

 private:
  void announce(bool kept);

  QTimer hide_;
};

}  // namespace kivo
