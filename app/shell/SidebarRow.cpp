#include "shell/SidebarRow.h"

#include "design/Accessibility.h"
#include "design/Appearance.h"
#include "design/Icons.h"
#include "design/Tokens.h"
#include "shell/RootPresenter.h"
#include "texts/Localized.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace kivo {

namespace {
constexpr int kHeight = 28;
constexpr int kPadding = 10;
constexpr int kIcon = 16;
constexpr int kSpacing = 8;

QFont titleFont() {
  return Typeface::system(13);
}
QFont capsuleFont() {
  return Typeface::system(10, QFont::Bold);
}
}  // namespace

SidebarRow::SidebarRow(AppSection section, QWidget* parent) : QAbstractButton(parent), section_(section) {
  setObjectName(QStringLiteral("sidebar.") + AppSections::rawValue(section));
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  setText(kivo::tr(AppSections::titleKey(section)));
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  Accessibility::setRole(this, QAccessible::PageTab);
  updateAccessibility();
}

void SidebarRow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      click();
      break;
    case Qt::Key_Up:
    case Qt::Key_Left:
      emit stepRequested(-1);
      break;
    case Qt::Key_Down:
    case Qt::Key_Right:
      emit stepRequested(1);
      break;
    default:
      QAbstractButton::keyPressEvent(event);
  }
}

void SidebarRow::focusInEvent(QFocusEvent* event) {
  switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
      keyboardFocus_ = true;
      break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
      break;  // the window or a menu coming back keeps the way the focus came
    default:
      keyboardFocus_ = false;
  }
  QAbstractButton::focusInEvent(event);
}

void SidebarRow::setFigures(std::optional<QString> badge, std::optional<int> capsule,
                            std::optional<int> count) {
  if (badge == badge_ && capsule == capsule_ && count == count_) return;
  badge_ = std::move(badge);
  capsule_ = capsule;
  count_ = count;
  updateAccessibility();
  update();
}

void SidebarRow::updateAccessibility() {
  setAccessibleName(text());
  if (capsule_) {
    setAccessibleDescription(RootPresenter::alertCapsuleAccessibleName(*capsule_));
  } else if (count_) {
    setAccessibleDescription(QString::number(*count_));
  } else {
    setAccessibleDescription(badge_.value_or(QString()));
  }
}

QSize SidebarRow::sizeHint() const {
  const QFontMetrics metrics(titleFont());
  return {kPadding * 2 + kIcon + kSpacing + metrics.horizontalAdvance(text()) + 60, kHeight};
}

QSize SidebarRow::minimumSizeHint() const {
  return {kPadding * 2 + kIcon, kHeight};
}

void SidebarRow::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void SidebarRow::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void SidebarRow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool dark = Appearance::isDark(this);
  const QRectF frame = QRectF(rect()).adjusted(4, 1, -4, -1);
  if (isChecked() || hovered_ || isDown()) {
    QColor fill = Palette::accent.resolve(dark);
    fill.setAlphaF(isChecked() ? (dark ? 0.22 : 0.14) : 0.07);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 6, 6);
  }
  if (hasFocus() && keyboardFocus_) {
    painter.setPen(QPen(Palette::accent.resolve(dark), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  }

  const QColor primary = Palette::textPrimary.resolve(dark);
  const QColor tint = isChecked() ? Palette::accent.resolve(dark) : Palette::textSecondary.resolve(dark);
  int x = kPadding;
  const QPixmap symbol = Icons::pixmap(AppSections::symbol(section_), kIcon, tint, devicePixelRatioF());
  if (!symbol.isNull()) painter.drawPixmap(QPointF(x, (height() - kIcon) / 2.0), symbol);
  x += kIcon + kSpacing;

  // The trailing figure first, so the title is elided against it.
  int right = width() - kPadding;
  if (capsule_) {
    painter.setFont(capsuleFont());
    const QString number = QString::number(*capsule_);
    const QFontMetricsF metrics(painter.font());
    const QRectF pill(right - metrics.horizontalAdvance(number) - 10, (height() - metrics.height() - 2) / 2.0,
                      metrics.horizontalAdvance(number) + 10, metrics.height() + 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::danger.resolve(dark));
    painter.drawRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    painter.setPen(Qt::white);
    painter.drawText(pill, Qt::AlignCenter, number);
    right = qFloor(pill.left()) - kSpacing;
  } else if (badge_ || count_) {
    painter.setFont(Typeface::caption());
    const QString figure = badge_ ? *badge_ : QString::number(*count_);
    const QFontMetrics metrics(painter.font());
    const int w = metrics.horizontalAdvance(figure);
    painter.setPen(Palette::textSecondary.resolve(dark));
    painter.drawText(QRect(right - w, 0, w, height()), Qt::AlignVCenter | Qt::AlignRight, figure);
    right -= w + kSpacing;
  }

  painter.setFont(titleFont());
  painter.setPen(isEnabled() ? primary : Palette::textTertiary.resolve(dark));
  const QFontMetrics metrics(painter.font());
  const QString title = metrics.elidedText(text(), Qt::ElideRight, qMax(0, right - x));
  painter.drawText(QRect(x, 0, right - x, height()), Qt::AlignVCenter | Qt::AlignLeft, title);
}

}  // namespace kivo
