#pragma once

#include "settings/WidgetConfig.h"

#include <QPoint>
#include <QUuid>
#include <QWidget>

class QMenu;
class QToolButton;

namespace kivo {

class MonitorModel;
class WidgetView;

// One place of the dashboard's grid: the widget's card, its edit controls in the top-right
// corner while editing, and the accent frame while a dragged card hovers over it. The card can
// be dragged (its id as upper-case UUID text) and accepts a dropped id.
class WidgetCell : public QWidget {
  Q_OBJECT

 public:
  WidgetCell(MonitorModel& model, const WidgetConfig& config, QWidget* parent = nullptr);

  const QUuid& widgetID() const { return id_; }
  WidgetKind kind() const { return kind_; }
  WidgetSize size() const { return size_; }
  WidgetView* view() const { return view_; }

  void setSize(WidgetSize size);
  void setEditing(bool editing);
  void setDropTarget(bool target);
  bool isDropTarget() const { return dropTarget_; }
  QWidget* editControls() const { return controls_; }
  QMenu* editMenu() const { return menu_; }

  static constexpr qreal kFrameRadius = 14;
  static constexpr qreal kFrameWidth = 2;

 signals:
  void resizeRequested(const QUuid& id, WidgetSize size);
  void shiftRequested(const QUuid& id, int step);
  void removeRequested(const QUuid& id);
  // A text was dropped on this cell that names a widget.
  void dropped(const QUuid& dragged, const QUuid& target);
  void hoverChanged(const QUuid& target, bool hovering);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildControls();
  void keepHeaderClear();
  void refreshSizeChecks();
  void startDrag();

  QUuid id_;
  WidgetKind kind_;
  WidgetSize size_;
  WidgetView* view_ = nullptr;
  QWidget* controls_ = nullptr;
  QToolButton* menuButton_ = nullptr;
  QToolButton* removeButton_ = nullptr;
  QMenu* menu_ = nullptr;
  QWidget* frame_ = nullptr;
  bool dropTarget_ = false;
  QPoint pressed_;
  bool pressing_ = false;
};

}  // namespace kivo
