#include "design/SegmentedControl.h"

#include "design/Tokens.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>

namespace kivo {

namespace {

class Segment : public QToolButton {
 public:
  Segment(const QString& text, QWidget* parent) : QToolButton(parent) {
    setText(text);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFont(Typeface::system(12, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
  }
  QSize sizeHint() const override {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 20, 24};
  }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    if (isChecked()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(Palette::accent.resolve(this));
      painter.drawRoundedRect(area, 5, 5);
    } else if (underMouse()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(Palette::hairline.resolve(this));
      painter.drawRoundedRect(area, 5, 5);
    }
    static constexpr DynamicColor onAccent{0xFFFFFF, 0x0A0D18};
    painter.setPen(isChecked() ? onAccent.resolve(this) : Palette::textPrimary.resolve(this));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
      painter.setPen(QPen(Palette::accent.resolve(this), 1));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(area.adjusted(-1, -1, 1, 1), 6, 6);
    }
  }
};

}  // namespace

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent) {
  row_ = new QHBoxLayout(this);
  row_->setContentsMargins(1, 1, 1, 1);
  row_->setSpacing(0);
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  // A segment checked by a click, Space or a screen reader's Toggle action is a choice alike;
  // setCurrent() checks one with the group's signals blocked.
  connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) emit chosen(id);
  });
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QAbstractButton* SegmentedControl::addSegment(int id, const QString& title, const QString& objectName) {
  auto* button = new Segment(title, this);
  button->setObjectName(objectName);
  group_->addButton(button, id);
  row_->addWidget(button);
  return button;
}

QAbstractButton* SegmentedControl::segment(int id) const {
  return group_->button(id);
}

int SegmentedControl::current() const {
  return group_->checkedId();
}

void SegmentedControl::setCurrent(int id) {
  QAbstractButton* button = group_->button(id);
  if (!button || button->isChecked()) return;
  const QSignalBlocker blocker(group_);
  button->setChecked(true);
}

void SegmentedControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Palette::hairline.resolve(this), 1));
  painter.setBrush(Palette::surfaceRaised.resolve(this));
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
}

}  // namespace kivo
