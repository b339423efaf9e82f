#include "Gallery.h"

#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Environment.h"
#include "design/Icons.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace kivo::test {

QStringList renderGallery(const QString& name, QWidget* widget, QSize size) {
  Icons::initResources();
  const QString folder = outputDir() + QStringLiteral("/gallery");
  QDir().mkpath(folder);
  QStringList written;
  for (const bool dark : {false, true}) {
    for (const bool compact : {false, true}) {
      QWidget host;
      host.setAttribute(Qt::WA_DontShowOnScreen);
      host.setPalette(Appearance::palette(dark));
      host.setAutoFillBackground(true);
      auto* layout = new QVBoxLayout(&host);
      layout->setContentsMargins(16, 16, 16, 16);
      layout->addWidget(widget);
      Environment::apply(&host, compact ? 0.72 : 1.0, false);
      host.show();
      QSize target = size;
      if (target.width() <= 0 || target.height() <= 0) {
        const int width = size.width() > 0 ? size.width() : widget->sizeHint().width();
        int height = widget->sizeHint().height();
        if (widget->hasHeightForWidth()) height = std::max(height, widget->heightForWidth(width));
        target = QSize(width, std::max(height, widget->minimumSizeHint().height()));
      }
      widget->setFixedSize(target);
      host.adjustSize();
      QApplication::processEvents();
      const QString path = QStringLiteral("%1/%2-%3-%4.png")
                               .arg(folder, name, dark ? QStringLiteral("dark") : QStringLiteral("light"),
                                    compact ? QStringLiteral("compact") : QStringLiteral("regular"));
      if (host.grab().save(path)) written << path;
      host.hide();
      layout->removeWidget(widget);
      widget->setParent(nullptr);
      widget->setMinimumSize(0, 0);
      widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
  }
  return written;
}

}  // namespace kivo::test
