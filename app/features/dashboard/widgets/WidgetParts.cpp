#include "features/dashboard/widgets/WidgetParts.h"

#include "design/BareLayout.h"
#include "design/HintFence.h"
#include "design/Readout.h"
#include "design/Sparkline.h"
#include "design/ToneLabel.h"

#include <QBoxLayout>

#include <optional>

namespace kivo::WidgetParts {

QWidget* row(QWidget* parent, QWidget* first, QWidget* second) {
  auto* widget = new QWidget(parent);
  auto* layout = bareRow(widget, 8);
  layout->addWidget(first, 0, Qt::AlignTop);
  layout->addStretch(1);
  if (second) layout->addWidget(second, 0, Qt::AlignTop);
  return widget;
}

QWidget* figureWithCaption(QWidget* parent, Readout*& readout, ToneLabel*& caption, qreal size) {
  auto* widget = new QWidget(parent);
  auto* layout = bareColumn(widget, Readout::kSpacing);
  readout = new Readout(std::nullopt, std::nullopt, size, Palette::textPrimary, widget);
  caption = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, widget);
  caption->setObjectName(QStringLiteral("widget.caption"));
  caption->setTextFormat(Qt::PlainText);
  layout->addWidget(readout);
  // The caption changes with every tick but rarely its width: the fence spares the card a relayout.
  layout->addWidget(new HintFence(caption, widget));
  return widget;
}

Sparkline* sparkline(QWidget* parent, const ChartColor& color) {
  auto* sparkline = new Sparkline(parent);
  sparkline->setColor(color);
  sparkline->setFilled(true);
  sparkline->setBackdrop(Palette::surface);
  sparkline->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return sparkline;
}

void setCaption(ToneLabel* caption, const QString& text) {
  if (caption->text() != text) caption->setText(text);
}

}  // namespace kivo::WidgetParts
