#include "design/Card.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/QualityBadge.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include <QPaintEvent>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>

#include <cmath>

namespace kivo {
namespace {
constexpr int kSymbolSize = 12;
}

Card::Card(std::optional<QString> titleKey, std::optional<MetricFamily> family,
           std::optional<MetricQuality> quality, QWidget* parent)
    : QWidget(parent), family_(family), quality_(quality) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  column_ = new QVBoxLayout(this);
  if (titleKey) {
    header_ = new QWidget(this);
    header_->setObjectName(QStringLiteral("card.header"));
    auto* row = bareRow(header_, kHeaderSpacing);
    if (family_) {
      symbol_ = new QLabel(header_);
      symbol_->setFixedSize(kSymbolSize, kSymbolSize);
      Accessibility::hideDecoration(symbol_);
      row->addWidget(symbol_);
    }
    auto* title = new ToneLabel(translated(*titleKey), Typeface::label(), Palette::textSecondary, header_);
    title->setObjectName(QStringLiteral("card.title"));
    row->addWidget(title);
    row->addStretch(1);
    badge_ = new QualityBadge(quality_.value_or(MetricQuality::measured), header_);
    badge_->setVisible(showsBadge(quality_));
    row->addWidget(badge_);
    column_->addWidget(header_);
  }
  body_ = bareColumn();
  column_->addLayout(body_);
  // Content keeps to the top when the card is taller than it.
  column_->addStretch(1);
  applyDensity();
  refreshSymbol();
}

void Card::addContent(QWidget* content) {
  body_->addWidget(content);
}

void Card::setFillingContent(QWidget* content) {
  column_->setStretch(column_->count() - 1, 0);
  column_->setStretchFactor(body_, 1);
  body_->setStretchFactor(content, 1);
}

bool Card::showsBadge(std::optional<MetricQuality> quality) {
  return quality == MetricQuality::estimated || quality == MetricQuality::bestEffort ||
         quality == MetricQuality::unavailable;
}

void Card::setQuality(std::optional<MetricQuality> quality) {
  quality_ = quality;
  if (badge_ == nullptr) return;
  if (quality) badge_->setQuality(*quality);
  badge_->setVisible(showsBadge(quality));
}

void Card::setHeaderTrailingInset(int inset) {
  if (header_ == nullptr) return;
  header_->layout()->setContentsMargins(0, 0, std::max(inset, 0), 0);
}

QWidget* Card::badge() const {
  return badge_;
}

bool Card::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == Environment::changedEventType() || event->type() == QEvent::ParentChange) {
    applyDensity();
    refreshSymbol();
  } else if (event->type() == QEvent::PaletteChange) {
    refreshSymbol();
  }
  return handled;
}

void Card::applyDensity() {
  const double d = Environment::density(this);
  if (d == density_) return;
  density_ = d;
  const int pad = static_cast<int>(std::lround(kPadding * d));
  column_->setContentsMargins(pad, pad, pad, pad);
  const int spacing = static_cast<int>(std::lround(kSpacing * d));
  column_->setSpacing(spacing);
  body_->setSpacing(spacing);
}

void Card::refreshSymbol() {
  if (symbol_ == nullptr || !family_) return;
  const QColor color = MetricFamilies::color(*family_, Environment::colorBlindSafe(this)).resolve(this);
  symbol_->setPixmap(
      Icons::pixmap(MetricFamilies::symbol(*family_), kSymbolSize, color, devicePixelRatioF()));
}

bool Card::insideFill(const QRect& bounds, const QRect& area) {
  // Two bands cover every pixel the surface fills whole: clear of the border by two pixels and
  // of the rounded corners by the radius and a pixel.
  const int edge = 2;
  const int corner = static_cast<int>(std::ceil(kCornerRadius)) + 1;
  const QRect tall = bounds.adjusted(corner, edge, -corner, -edge);
  const QRect wide = bounds.adjusted(edge, corner, -edge, -corner);
  return tall.contains(area) || wide.contains(area);
}

void Card::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // A tick repaints small figures inside the card: there the card is its plain fill, so the
  // antialiased outline (stroked and filled whole for each figure) is not drawn again.
  if (insideFill(rect(), event->rect())) {
    painter.fillRect(event->rect(), Palette::surface.resolve(this));
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  // The 1-pixel border sits inside the shape.
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(Palette::hairline.resolve(this), 1));
  painter.setBrush(Palette::surface.resolve(this));
  painter.drawRoundedRect(shape, kCornerRadius - 0.5, kCornerRadius - 0.5);
}

}  // namespace kivo
