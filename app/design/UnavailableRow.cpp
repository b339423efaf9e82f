#include "design/UnavailableRow.h"

#include "design/BareLayout.h"
#include "design/QualityBadge.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kivo {

UnavailableRow::UnavailableRow(const QString& label, std::optional<QString> reason, QWidget* parent)
    : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
  auto* column = bareColumn(this, kSpacing);
  auto* top = bareRow();
  auto* name = new ToneLabel(label, Typeface::system(12), Palette::textSecondary, this);
  name->setObjectName(QStringLiteral("row.label"));
  top->addWidget(name);
  top->addStretch(1);
  top->addWidget(new QualityBadge(MetricQuality::unavailable, this));
  column->addLayout(top);
  reason_ = new ToneLabel(reason.value_or(defaultReason()), Typeface::caption(), Palette::textTertiary, this);
  reason_->setObjectName(QStringLiteral("row.reason"));
  reason_->setWordWrap(true);
  column->addWidget(reason_);
  setAccessibleName(label + QStringLiteral(", ") + QualityBadge::text(MetricQuality::unavailable) +
                    QStringLiteral(", ") + reason_->text());
}

QString UnavailableRow::shownReason() const {
  return reason_->text();
}

QString UnavailableRow::defaultReason() {
  return kivo::tr("Not available through supported system interfaces.");
}

}  // namespace kivo
