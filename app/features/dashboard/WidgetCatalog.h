#pragma once

#include "design/MetricFamily.h"
#include "settings/WidgetConfig.h"

#include <QString>

namespace kivo {

// Title, default size, family and icon of every widget kind, for the Add Widget menu, the drag
// preview, accessible names and the cards' headers.
namespace WidgetCatalog {

// The English title, the localisation key.
const char* titleKey(WidgetKind kind);
// The title for the current locale.
QString title(WidgetKind kind);
WidgetSize defaultSize(WidgetKind kind);
MetricFamily family(WidgetKind kind);
// The family's symbol.
QString symbol(WidgetKind kind);

// Columns a widget of this size spans: 1, 2 or 4.
int span(WidgetSize size);
// "Small", "Wide", "Full width" (keys).
const char* sizeKey(WidgetSize size);

}  // namespace WidgetCatalog

}  // namespace kivo
