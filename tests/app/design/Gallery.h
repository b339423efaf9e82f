#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace kivo::test {

// Renders the widget on the window canvas in light and dark, regular and compact density, into
// $KIVO_TEST_OUTPUT/gallery/<name>-<light|dark>-<regular|compact>.png, so a person can look at
// what users will see. The widget is borrowed: it is shown inside a host for the grab and handed
// back without a parent. Without a positive width and height the widget takes its size hint (at
// the given width when only the width is positive, height for width where it has one). Returns
// the paths written.
QStringList renderGallery(const QString& name, QWidget* widget, QSize size = {});

}  // namespace kivo::test
