#pragma once

#include <QtGlobal>

class QWidget;

namespace kivo {

struct ChartColor;
class Readout;
class Sparkline;
class ToneLabel;

// Parts several dashboard widgets are built from.
namespace WidgetParts {

// Two widgets on a line, the second pushed to the right edge (absent: only the first).
QWidget* row(QWidget* parent, QWidget* first, QWidget* second);
// A big figure with a caption that changes with the data under it.
QWidget* figureWithCaption(QWidget* parent, Readout*& readout, ToneLabel*& caption, qreal size);
// A filled sparkline in `color` over the card's surface that takes the room it is given.
Sparkline* sparkline(QWidget* parent, const ChartColor& color);
// A caption's text changes, rarely its width: set only a changed text.
void setCaption(ToneLabel* caption, const QString& text);

}  // namespace WidgetParts

}  // namespace kivo
