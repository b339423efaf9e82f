#include "features/dashboard/WidgetCell.h"

#include "design/Icons.h"
#include "design/Tokens.h"
#include "features/dashboard/DashboardLayout.h"
#include "features/dashboard/WidgetCatalog.h"
#include "features/dashboard/WidgetView.h"
#include "texts/Localized.h"

#include <QActionGroup>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

// The accent frame over a cell a drag hovers over.
class DropFrame : public QWidget {
 public:
  explicit DropFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("widget.dropTarget"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = WidgetCell::kFrameWidth / 2;
    painter.setPen(QPen(Palette::accent.resolve(this), WidgetCell::kFrameWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                            WidgetCell::kFrameRadius - inset, WidgetCell::kFrameRadius - inset);
  }
};

// The capsule behind the edit controls.
class ControlCapsule : public QWidget {
 public:
  explicit ControlCapsule(QWidget* parent) : QWidget(parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = Palette::surfaceRaised.resolve(this);
    painter.setPen(QPen(Palette::hairline.resolve(this), 1));
    painter.setBrush(fill);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRoundedRect(area, area.height() / 2, area.height() / 2);
  }
};

// The drag preview: the kind's icon and title on the surface colour.
QPixmap dragPreview(WidgetKind kind, const QWidget* source) {
  const QFont font = Typeface::system(13, QFont::Medium);
  const QFontMetricsF metrics(font);
  const QString title = WidgetCatalog::title(kind);
  const qreal icon = 16;
  const QSizeF size(8 + icon + 6 + metrics.horizontalAdvance(title) + 8,
                    8 + std::max(icon, metrics.height()) + 8);
  const qreal ratio = source->devicePixelRatioF();
  QPixmap pixmap(QSize(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio))));
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Palette::hairline.resolve(source), 1));
  painter.setBrush(Palette::surface.resolve(source));
  painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), size - QSizeF(1, 1)), 8, 8);
  const QColor tint = ChartColor::of(WidgetCatalog::family(kind)).resolve(source);
  painter.drawPixmap(QPointF(8, (size.height() - icon) / 2),
                     Icons::pixmap(WidgetCatalog::symbol(kind), 16, tint, ratio));
  painter.setFont(font);
  painter.setPen(Palette::textPrimary.resolve(source));
  painter.drawText(QRectF(8 + icon + 6, 0, size.width() - icon - 22, size.height()), Qt::AlignVCenter, title);
  return pixmap;
}

}  // namespace

WidgetCell::WidgetCell(MonitorModel& model, const WidgetConfig& config, QWidget* parent)
    : QWidget(parent), id_(config.id), kind_(config.kind), size_(config.size) {
  setObjectName(QStringLiteral("widget.") + WidgetKinds::rawString(kind_));
  setAccessibleName(WidgetCatalog::title(kind_));
  setAcceptDrops(true);
  view_ = WidgetView::create(model, kind_, size_, this);
  buildControls();
  frame_ = new DropFrame(this);
  frame_->hide();
}

void WidgetCell::buildControls() {
  controls_ = new ControlCapsule(this);
  controls_->setObjectName(QStringLiteral("widget.editControls"));
  auto* row = new QHBoxLayout(controls_);
  row->setContentsMargins(6, 6, 6, 6);
  row->setSpacing(4);
  const QString title = WidgetCatalog::title(kind_);

  menuButton_ = new QToolButton(controls_);
  menuButton_->setObjectName(QStringLiteral("widget.resize"));
  menuButton_->setAutoRaise(true);
  menuButton_->setPopupMode(QToolButton::InstantPopup);
  menuButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
  menuButton_->setAccessibleName(kivo::tr("Resize or move %1", title));
  menuButton_->setToolTip(menuButton_->accessibleName());
  menu_ = new QMenu(menuButton_);
  menu_->addSection(kivo::tr("Size"));
  auto* sizes = new QActionGroup(menu_);
  for (WidgetSize size : WidgetSizes::allCases()) {
    QAction* action = menu_->addAction(kivo::tr(WidgetCatalog::sizeKey(size)));
    action->setCheckable(true);
    action->setData(WidgetSizes::rawValue(size));
    sizes->addAction(action);
    connect(action, &QAction::triggered, this, [this, size] { emit resizeRequested(id_, size); });
  }
  menu_->addSeparator();
  connect(menu_->addAction(kivo::tr("Move Earlier")), &QAction::triggered, this,
          [this] { emit shiftRequested(id_, -1); });
  connect(menu_->addAction(kivo::tr("Move Later")), &QAction::triggered, this,
          [this] { emit shiftRequested(id_, 1); });
  menuButton_->setMenu(menu_);
  row->addWidget(menuButton_);

  removeButton_ = new QToolButton(controls_);
  removeButton_->setObjectName(QStringLiteral("widget.remove"));
  removeButton_->setAutoRaise(true);
  removeButton_->setAccessibleName(kivo::tr("Remove %1", title));
  removeButton_->setToolTip(removeButton_->accessibleName());
  connect(removeButton_, &QToolButton::clicked, this, [this] { emit removeRequested(id_); });
  row->addWidget(removeButton_);

  refreshSizeChecks();
  const ChartColor tint = ChartColor::of(Palette::textSecondary);
  menuButton_->setIcon(Icons::icon(QStringLiteral("arrow.up.left.and.arrow.down.right"), tint, this));
  removeButton_->setIcon(Icons::icon(QStringLiteral("xmark.circle.fill"), tint, this));
  menuButton_->setIconSize(QSize(13, 13));
  removeButton_->setIconSize(QSize(13, 13));
  controls_->hide();
}

void WidgetCell::refreshSizeChecks() {
  for (QAction* action : menu_->actions()) {
    if (action->isCheckable()) action->setChecked(action->data().toInt() == WidgetSizes::rawValue(size_));
  }
}

void WidgetCell::setSize(WidgetSize size) {
  if (size == size_) return;
  size_ = size;
  view_->setSize(size);
  refreshSizeChecks();
}

void WidgetCell::setEditing(bool editing) {
  controls_->setVisible(editing);
  if (editing) controls_->raise();
  keepHeaderClear();
}

void WidgetCell::keepHeaderClear() {
  // The capsule lies over the card's top corner: the header's badge moves in beside it.
  int inset = 0;
  if (controls_->isVisibleTo(this) && view_->header()) {
    // From the cell's width, not the header's geometry, which is not laid out before first shown.
    const int headerRight = width() - view_->layout()->contentsMargins().right();
    const int controlsLeft = width() - controls_->sizeHint().width() - 6;
    inset = std::max(headerRight - controlsLeft + Card::kHeaderSpacing, 0);
  }
  view_->setHeaderTrailingInset(inset);
}

void WidgetCell::setDropTarget(bool target) {
  if (target == dropTarget_) return;
  dropTarget_ = target;
  frame_->setVisible(target);
  if (target) frame_->raise();
}

void WidgetCell::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_->setGeometry(rect());
  frame_->setGeometry(rect());
  const QSize hint = controls_->sizeHint();
  // Padded 6 from the card's corner, as the capsule sits inside the card's edge.
  controls_->setGeometry(width() - hint.width() - 6, 6, hint.width(), hint.height());
  keepHeaderClear();
}

void WidgetCell::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = event->position().toPoint();
    pressing_ = true;
  }
  QWidget::mousePressEvent(event);
}

void WidgetCell::mouseMoveEvent(QMouseEvent* event) {
  if (pressing_ && (event->buttons() & Qt::LeftButton) &&
      (event->position().toPoint() - pressed_).manhattanLength() >= QApplication::startDragDistance()) {
    pressing_ = false;
    startDrag();
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void WidgetCell::startDrag() {
  QPointer<WidgetCell> self(this);
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setText(DashboardLayout::dragPayload(id_));
  drag->setMimeData(data);
  const QPixmap preview = dragPreview(kind_, this);
  drag->setPixmap(preview);
  drag->setHotSpot(QPoint(12, 12));
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  // The drop may have changed the layout, or closed the window, while exec() ran.
  if (!self) return;
  self->pressing_ = false;
}

void WidgetCell::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (!data || !data->hasText() || !DashboardLayout::parsePayload(data->text())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit hoverChanged(id_, true);
}

void WidgetCell::dragMoveEvent(QDragMoveEvent* event) {
  event->acceptProposedAction();
}

void WidgetCell::dragLeaveEvent(QDragLeaveEvent* event) {
  emit hoverChanged(id_, false);
  QWidget::dragLeaveEvent(event);
}

void WidgetCell::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  const auto dragged = data && data->hasText() ? DashboardLayout::parsePayload(data->text()) : std::nullopt;
  if (!dragged) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit dropped(*dragged, id_);
}

}  // namespace kivo
