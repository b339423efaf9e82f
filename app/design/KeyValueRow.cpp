#include "design/KeyValueRow.h"

#include "design/BareLayout.h"
#include "design/ElidedLabel.h"
#include "design/HintFence.h"
#include "design/QualityBadge.h"
#include "design/ToneLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {
namespace {

const QString kDash = QStringLiteral("—");

}  // namespace

// The legend key: an 8 × 8 rounded square, hidden from screen readers.
class KeyValueRow::Swatch : public QWidget {
 public:
  Swatch(DynamicColor color, QWidget* parent) : QWidget(parent), color_(color) {
    setFixedSize(KeyValueRow::kSwatchSize, KeyValueRow::kSwatchSize);
  }

  DynamicColor color() const { return color_; }
  void setColor(DynamicColor color) {
    if (color == color_) return;
    color_ = color;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color_.resolve(this));
    if (color_ == Palette::surfaceRaised) {
      painter.setPen(QPen(trackEdge.resolve(this), 1));
      painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    } else {
      painter.setPen(Qt::NoPen);
      painter.drawRoundedRect(QRectF(rect()), 2, 2);
    }
  }

 private:
  DynamicColor color_;
};

KeyValueRow::KeyValueRow(const QString& label, std::optional<QString> value,
                         std::optional<MetricQuality> quality, std::optional<DynamicColor> swatch,
                         QWidget* parent)
    : QWidget(parent), label_(label) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* column = bareColumn(this, 2);
  auto* row = line_ = new QHBoxLayout();
  row->setSpacing(kSpacing);
  column->addLayout(row);
  under_ = new QHBoxLayout();
  under_->setSpacing(0);
  under_->addStretch(1);
  column->addLayout(under_);
  swatch_ = new Swatch(swatch.value_or(Palette::surfaceRaised), this);
  swatch_->setVisible(swatch.has_value());
  row->addWidget(swatch_);
  auto* name = name_ = new ToneLabel(label, Typeface::system(12), Palette::textSecondary, this);
  name->setObjectName(QStringLiteral("row.label"));
  row->addWidget(name);
  badge_ = new QualityBadge(quality.value_or(MetricQuality::measured), this);
  badge_->setVisible(showsBadge(quality));
  row->addWidget(badge_);
  row->addSpacerItem(new QSpacerItem(kSpacing, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  value_ = new ElidedLabel(Typeface::value(), Palette::textPrimary, Qt::ElideRight, this);
  value_->setShrinks(false);
  value_->setFullText(value.value_or(kDash));
  value_->setObjectName(QStringLiteral("row.value"));
  value_->setSelectableOnHover(true);
  value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The fence keeps a new figure of the same width from relayouting everything around the row.
  valueFence_ = new HintFence(value_, this);
  row->addWidget(valueFence_);
  refreshAccessibility();
}

bool KeyValueRow::showsBadge(std::optional<MetricQuality> quality) {
  return quality == MetricQuality::estimated || quality == MetricQuality::bestEffort;
}

void KeyValueRow::setLabel(const QString& label) {
  if (label == label_) return;
  label_ = label;
  name_->setText(label);
  refreshAccessibility();
  if (wraps_) restack();
}

void KeyValueRow::setSwatch(std::optional<DynamicColor> swatch) {
  if (swatch) swatch_->setColor(*swatch);
  swatch_->setVisible(swatch.has_value());
  if (wraps_) restack();
}

std::optional<DynamicColor> KeyValueRow::swatch() const {
  if (swatch_->isHidden()) return std::nullopt;
  return swatch_->color();
}

void KeyValueRow::setValue(std::optional<QString> value) {
  const QString next = value.value_or(kDash);
  if (value_->fullText() == next) return;
  value_->setFullText(next);
  valueFence_->sync();
  refreshAccessibility();
  if (wraps_) restack();
}

void KeyValueRow::setWrapsValue(bool wraps) {
  if (wraps == wraps_) return;
  wraps_ = wraps;
  // A value too wide even on a line of its own is cut with "…", whole in its tooltip.
  value_->setShrinks(wraps);
  valueFence_->sync();
  // The row's own layout must not hold it at the width of label and value side by side.
  layout()->setSizeConstraint(wraps ? QLayout::SetNoConstraint : QLayout::SetDefaultConstraint);
  restack();
}

int KeyValueRow::leadingWidth() const {
  int width = name_->sizeHint().width();
  if (!swatch_->isHidden()) width += kSwatchSize + kSpacing;
  if (!badge_->isHidden()) width += kSpacing + badge_->sizeHint().width();
  return width;
}

bool KeyValueRow::needsWrap(int width) const {
  return wraps_ && leadingWidth() + 2 * kSpacing + valueFence_->sizeHint().width() > width;
}

QSize KeyValueRow::minimumSizeHint() const {
  const QSize whole = QWidget::minimumSizeHint();
  if (!wraps_) return whole;
  return {std::max(leadingWidth(), valueFence_->minimumSizeHint().width()), whole.height()};
}

void KeyValueRow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  restack();
}

void KeyValueRow::restack() {
  const bool wrap = needsWrap(width());
  if (wrap == wrapped_) return;
  wrapped_ = wrap;
  (wrap ? line_ : under_)->removeWidget(valueFence_);
  (wrap ? under_ : line_)->addWidget(valueFence_);
  // The row's height follows from its layout: one line or two. Layouts above may keep an
  // answer for the old height (height-for-width caches), so they are asked again.
  updateGeometry();
  for (QWidget* above = parentWidget(); above != nullptr && !above->isWindow();
       above = above->parentWidget()) {
    if (above->layout() != nullptr) above->layout()->invalidate();
  }
}

void KeyValueRow::setQuality(std::optional<MetricQuality> quality) {
  if (quality) badge_->setQuality(*quality);
  badge_->setVisible(showsBadge(quality));
}

QString KeyValueRow::shownValue() const {
  return value_->fullText();
}

void KeyValueRow::refreshAccessibility() {
  setAccessibleName(label_ + QStringLiteral(", ") + value_->fullText());
}

}  // namespace kivo
