#include "shell/BookmarkNote.h"

#include "model/MonitorModel.h"
#include "shell/RootPresenter.h"

namespace kivo {

BookmarkNote::BookmarkNote(MonitorModel& model, QWidget* parent)
    : ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, parent) {
  setObjectName(QStringLiteral("bookmark.added"));
  setContentsMargins(8, 0, 8, 0);
  hide_.setSingleShot(true);
  hide_.setInterval(kShownMs);
  connect(&hide_, &QTimer::timeout, this, &QWidget::hide);
  connect(&model, &MonitorModel::bookmarkAdded, this, &BookmarkNote::announce);
  setVisible(false);
}

void BookmarkNote::announce(bool kept) {
  setText(RootPresenter::bookmarkAdded(kept));
  setTone(kept ? Palette::textSecondary : Palette::danger);
  setVisible(true);
  hide_.start();
}

}  // namespace kivo
