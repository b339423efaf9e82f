#include "design/SourcesCard.h"

#include "design/BareLayout.h"
#include "design/Hairline.h"
#include "design/QualityBadge.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {

namespace {

QWidget* entry(const MetricDescriptor& descriptor, QWidget* parent) {
  auto* box = new QWidget(parent);
  box->setObjectName(QStringLiteral("sources.entry"));
  box->setAccessibleName(SourcesCard::accessibleText(descriptor));
  auto* column = bareColumn(box, 2);

  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  row->addWidget(new ToneLabel(translated(descriptor.name), Typeface::system(12, QFont::DemiBold),
                               Palette::textPrimary, box));
  row->addWidget(new QualityBadge(descriptor.quality, box));
  row->addStretch(1);
  auto* source = new ToneLabel(descriptor.source, Typeface::mono(), Palette::textSecondary, box);
  source->setObjectName(QStringLiteral("sources.source"));
  source->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long list of sources wraps instead of widening the page beyond a small window.
  source->setWordWrap(true);
  source->setAlignment(Qt::AlignRight | Qt::AlignTop);
  row->addWidget(source, 1);
  column->addLayout(row);

  auto* method =
      new ToneLabel(translated(descriptor.method), Typeface::caption(), Palette::textTertiary, box);
  method->setObjectName(QStringLiteral("sources.method"));
  method->setWordWrap(true);
  column->addWidget(method);
  return box;
}

}  // namespace

SourcesCard::SourcesCard(std::span<const MetricID> metrics, QWidget* parent)
    : Card(QStringLiteral("Sources and methods"), std::nullopt, std::nullopt, parent) {
  setObjectName(QStringLiteral("sourcesCard"));
  for (MetricID metric : metrics) {
    if (std::find(metrics_.begin(), metrics_.end(), metric) == metrics_.end()) metrics_.push_back(metric);
  }
  auto* list = new QWidget(this);
  auto* column = bareColumn(list, 8);
  for (std::size_t i = 0; i < metrics_.size(); ++i) {
    if (i > 0) {
      auto* divider = new Hairline(Qt::Horizontal, list);
      divider->setObjectName(QStringLiteral("sources.divider"));
      column->addWidget(divider);
    }
    column->addWidget(entry(MetricCatalog::descriptor(metrics_[i]), list));
  }
  addContent(list);
}

QString SourcesCard::accessibleText(const MetricDescriptor& descriptor) {
  return translated(descriptor.name) + QStringLiteral(", ") + QualityBadge::text(descriptor.quality) +
         QStringLiteral(", ") + descriptor.source + QStringLiteral(". ") + translated(descriptor.method);
}

}  // namespace kivo
