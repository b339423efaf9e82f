#pragma once

#include "design/ChartColor.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace kivo::Icons {

// Our icons are compiled into this static library: call once (before the first icon) from any
// program or test that links it. Also makes Adwaita the fallback icon theme.
void initResources();

// The symbol names the interface uses ("cpu", "bolt.fill", "gearshape", ...), each mapped to an
// icon of the desktop's theme (Adwaita as fallback) or to one of our own SVGs.
QStringList symbols();

// A symbolic icon tinted with the colour at every size it is drawn; empty for an unknown name.
// For a colour that never changes (white on a tile, a tray image).
QIcon icon(const QString& symbol, const QColor& tint);
// A symbolic icon whose tint is resolved against `context` each time it is drawn, so it follows
// the appearance, the palette and the colour-blind-safe choice without being set again. Once
// the context is gone it draws the light tint. Empty for an unknown name.
QIcon icon(const QString& symbol, ChartColor tint, const QWidget* context);
// The icon rendered at size × size device-independent pixels; null for an unknown name or a
// size below 1.
QPixmap pixmap(const QString& symbol, int size, const QColor& tint, qreal devicePixelRatio = 1.0);

// The freedesktop icon name a symbol maps to; empty for our own icons and unknown names.
QString themeName(const QString& symbol);
// The resource path of our own SVG for a symbol (":/icons/..."); empty otherwise.
QString resourcePath(const QString& symbol);

// The application icon (our own SVG).
QIcon applicationIcon();

}  // namespace kivo::Icons
