#pragma once

#include "design/Page.h"
#include "features/dashboard/DashboardEditor.h"

#include <QList>
#include <QPointer>
#include <QUuid>

#include <map>
#include <optional>

class QDialog;
class QMenu;
class QToolButton;

namespace kivo {

class AppSettings;
class FlowGrid;
class MonitorModel;
class ToneLabel;
class WidgetCell;

// The widget dashboard: the shown preset's name and this computer over its widgets in a flow
// grid, with the Layout menu, edit mode (Add Widget, per-card size, order and removal) and
// drag-to-reorder. Every change goes straight to the settings; the page keeps no copy of the
// layout and follows the settings' changes in place, keyed by widget id.
class DashboardPage : public Page {
  Q_OBJECT

 public:
  // The main window's page: the settings' selected preset, following the selection.
  DashboardPage(MonitorModel& model, AppSettings& settings, QWidget* parent = nullptr);
  // A page showing `presetID`; a detached one never changes the selection.
  DashboardPage(MonitorModel& model, AppSettings& settings, const QUuid& presetID, bool detached,
                QWidget* parent = nullptr);

  const QUuid& presetID() const { return editor_.presetID(); }
  bool isDetached() const { return editor_.isDetached(); }
  DashboardEditor& editor() { return editor_; }

  bool isEditing() const { return editing_; }
  void setEditing(bool editing);
  const std::optional<QUuid>& dropTarget() const { return dropTarget_; }

  // The cells in grid order.
  QList<WidgetCell*> cells() const;
  FlowGrid* grid() const { return grid_; }
  QToolButton* layoutButton() const { return layoutButton_; }
  QMenu* layoutMenu() const { return layoutMenu_; }
  QToolButton* addButton() const { return addButton_; }
  QToolButton* editButton() const { return editButton_; }

  // Page operations (the controls call these).
  void select(const QUuid& id);
  void move(const QUuid& dragged, const QUuid& target);
  void setDropTarget(const QUuid& target, bool hovering);
  // Opens the "Save Layout As" prompt with an empty name (window-modal, returns at once).
  QDialog* openSavePrompt();

 signals:
  // "Open in New Window" for this preset.
  void openWindowRequested(const QUuid& presetID);

 protected:
  bool event(QEvent* event) override;

 private:
  class EmptyState;

  void buildHeader();
  void buildLayoutMenu();
  void sync();
  void refreshSources(unsigned sources);
  void applyDensity();

  MonitorModel& model_;
  AppSettings& settings_;
  DashboardEditor editor_;
  bool editing_ = false;
  std::optional<QUuid> dropTarget_;

  ToneLabel* title_ = nullptr;
  ToneLabel* systemLine_ = nullptr;
  QToolButton* layoutButton_ = nullptr;
  QMenu* layoutMenu_ = nullptr;
  QToolButton* addButton_ = nullptr;
  QToolButton* editButton_ = nullptr;
  QWidget* gridHost_ = nullptr;
  FlowGrid* grid_ = nullptr;
  EmptyState* empty_ = nullptr;
  std::map<QUuid, WidgetCell*> cells_;
  QPointer<QDialog> prompt_;
};

}  // namespace kivo
