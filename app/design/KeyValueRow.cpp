#include "design/KeyValueRow.h"

#include "design/HintFence.h"
#include "design/QualityBadge.h"
#include "design/ToneLabel.h"

#include <QHBoxLayout>
#include <QPainter>

namespace kivo {
namespace {

const QString kDash = QStringLiteral("—");

// The legend key: an 8 × 8 rounded square, hidden from screen readers.
class Swatch : public QWidget {
 public:
  Swatch(DynamicColor color, QWidget* parent) : QWidget(parent), color_(color) {
    setFixedSize(KeyValueRow::kSwatchSize, KeyValueRow::kSwatchSize);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_.resolve(this));
    painter.drawRoundedRect(QRectF(rect()), 2, 2);
  }

 private:
  DynamicColor color_;
};

}  // namespace

KeyValueRow::KeyValueRow(const QString& label, std::optional<QString> value, std::optional<MetricQuality> quality,
                         std::optional<DynamicColor> swatch, QWidget* parent)
    : QWidget(parent), label_(label) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(kSpacing);
  if (swatch) row->addWidget(new Swatch(*swatch, this));
  auto* name = new ToneLabel(label, Typeface::system(12), Palette::textSecondary, this);
  name->setObjectName(QStringLiteral("row.label"));
  row->addWidget(name);
  badge_ = new QualityBadge(quality.value_or(MetricQuality::measured), this);
  badge_->setVisible(showsBadge(quality));
  row->addWidget(badge_);
  row->addSpacerItem(new QSpacerItem(kSpacing, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
  value_ = new ToneLabel(value.value_or(kDash), Typeface::value(), Palette::textPrimary, this);
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

void KeyValueRow::setValue(std::optional<QString> value) {
  const QString next = value.value_or(kDash);
  if (value_->text() == next) return;
  value_->setText(next);
  valueFence_->sync();
  refreshAccessibility();
}

void KeyValueRow::setQuality(std::optional<MetricQuality> quality) {
  if (quality) badge_->setQuality(*quality);
  badge_->setVisible(showsBadge(quality));
}

QString KeyValueRow::shownValue() const { return value_->text(); }

void KeyValueRow::refreshAccessibility() { setAccessibleName(label_ + QStringLiteral(", ") + value_->text()); }

}  // namespace kivo
