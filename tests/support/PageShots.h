#pragma once

// What page tests share: a model over a scripted machine, and the screenshots of a page in light
// and dark that a person looks at.

#include "ModelTestSupport.h"
#include "TestSupport.h"

#include "design/Appearance.h"
#include "design/ElidedLabel.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/KeyedGrid.h"
#include "design/Page.h"
#include "design/Tokens.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <optional>

namespace kivo::test {

// A model over a scripted machine: its system description, GPUs and capability table, and the
// launch options. Page tests build their page over it.
struct PageRig : ModelRig {
  explicit PageRig(SystemInfo system = {}, std::vector<GPUDevice> devices = {},
                   std::vector<SensorCapability> capabilities = {}, QMap<QString, QVariant> arguments = {})
      : ModelRig(std::move(arguments), [&](MonitorModel::Environment& environment) {
          environment.systemInfo = [system] { return system; };
          environment.gpuDevices = [devices] { return devices; };
          environment.capabilities = [capabilities] { return capabilities; };
        }) {}
  // A page test that needs only launch options.
  explicit PageRig(QMap<QString, QVariant> arguments) : PageRig({}, {}, {}, std::move(arguments)) {}
};

// A page laid out off-screen as a window of `size` shows it, on the canvas of an appearance if
// one is given.
struct PageHost {
  QWidget host;
  Page* page = nullptr;

  PageHost(const std::function<Page*(QWidget*)>& make, QSize size, std::optional<bool> dark = std::nullopt) {
    host.setAttribute(Qt::WA_DontShowOnScreen);
    if (dark) {
      host.setPalette(Appearance::palette(*dark));
      host.setAutoFillBackground(true);
    }
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    page = make(&host);
    layout->addWidget(page);
    host.resize(size);
    host.show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
};

// Grabs a page as a window of each size shows it, and its whole column, in light and dark, into
// $KIVO_TEST_OUTPUT/<folder>/<name>-<light|dark>-<W>x<H>[-full].png. Returns the paths written.
inline QStringList shootPage(const std::function<Page*(QWidget*)>& make, const QString& folder,
                             const QString& name) {
  Icons::initResources();
  const QString path = outputDir() + QLatin1Char('/') + folder;
  QDir().mkpath(path);
  QStringList written;
  for (const bool dark : {false, true}) {
    for (const QSize size : {QSize(1280, 860), QSize(860, 560)}) {
      PageHost shown(make, size, dark);
      QWidget& host = shown.host;
      Page* page = shown.page;
      const QString stem = QStringLiteral("%1/%2-%3-%4x%5")
                               .arg(path, name, dark ? QStringLiteral("dark") : QStringLiteral("light"))
                               .arg(size.width())
                               .arg(size.height());
      if (host.grab().save(stem + QStringLiteral(".png"))) written << stem + QStringLiteral(".png");
      QWidget* column = page->content();
      const QSize whole(column->width(), column->heightForWidth(column->width()) > 0
                                             ? column->heightForWidth(column->width())
                                             : column->sizeHint().height());
      column->resize(whole);
      QApplication::processEvents();
      if (column->grab().save(stem + QStringLiteral("-full.png")))
        written << stem + QStringLiteral("-full.png");
      host.hide();
    }
  }
  return written;
}

// A page of this size (an 860 pixel window less its sidebar, say) needs no sideways scroll: its
// column fits the viewport and every table fits the room its card gives it.
inline void expectNoSidewaysScroll(const std::function<Page*(QWidget*)>& make, QSize size) {
  PageHost shown(make, size);
  Page* page = shown.page;
  const QString where = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
  EXPECT_FALSE(page->horizontalScrollBar()->isVisible()) << where.toStdString();
  EXPECT_LE(page->content()->width(), page->viewport()->width()) << where.toStdString();
  for (const KeyedGrid* grid : page->findChildren<KeyedGrid*>()) {
    if (!grid->isVisibleTo(page)) continue;
    EXPECT_LE(grid->neededWidth(), grid->width())
        << grid->objectName().toStdString() << " at " << where.toStdString();
    EXPECT_TRUE(grid->isColumnShown(0)) << grid->objectName().toStdString();
    // Columns left out for width are named where the titles are, or nothing tells they exist.
    QStringList hidden;
    for (const QLabel* title : grid->findChildren<QLabel*>(QStringLiteral("grid.title"))) {
      if (!title->isVisibleTo(grid)) hidden << title->text();
    }
    for (const QLabel* title : grid->findChildren<QLabel*>(QStringLiteral("grid.title"))) {
      if (!title->isVisibleTo(grid)) continue;
      for (const QString& name : hidden) {
        EXPECT_TRUE(title->toolTip().contains(name))
            << grid->objectName().toStdString() << " at " << where.toStdString() << ": \""
            << name.toStdString() << "\" not named under \"" << title->text().toStdString() << "\"";
      }
      if (hidden.isEmpty()) {
        EXPECT_TRUE(title->toolTip().isEmpty()) << grid->objectName().toStdString();
      }
    }
  }
}

// Whether every label the widget shows is drawn whole: inside the widget, and as wide (or, wrapped,
// as tall) as its text needs. Elided labels shorten their text on purpose and are left out.
inline ::testing::AssertionResult nothingCutOff(const QWidget& widget) {
  QStringList cut;
  for (const QLabel* label : widget.findChildren<QLabel*>()) {
    if (!label->isVisibleTo(&widget) || label->text().isEmpty() || qobject_cast<const ElidedLabel*>(label))
      continue;
    const QRect where(label->mapTo(&widget, QPoint(0, 0)), label->size());
    const bool inside = widget.rect().contains(where);
    const bool whole = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                         : label->width() >= label->sizeHint().width();
    if (!inside || !whole) cut << QStringLiteral("\"%1\" (%2)").arg(label->text(), label->objectName());
  }
  if (cut.isEmpty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "cut off: " << cut.join(QStringLiteral(", ")).toStdString();
}

// The page on the window canvas, tall enough to show every card, in light or dark, saved under
// <folder>/<name>-<light|dark>.png. Succeeds when the picture shows what it is for: the whole
// page, with nothing to scroll either way, on the canvas of its appearance.
inline ::testing::AssertionResult savePage(Page& page, const QString& folder, const QString& name, bool dark,
                                           int width = 1100, int height = 1900) {
  static const bool icons = [] {
    Icons::initResources();
    return true;
  }();
  (void)icons;
  QWidget window;
  window.setPalette(Appearance::palette(dark));
  window.setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  QWidget* previous = page.parentWidget();
  layout->addWidget(&page);
  Environment::apply(&window, 1.0, false);
  window.resize(width, height);
  window.show();
  QCoreApplication::processEvents();
  const QString dir = outputDir() + QLatin1Char('/') + folder;
  QDir().mkpath(dir);
  const QImage picture = window.grab().toImage();
  const QString path =
      dir + QLatin1Char('/') + name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png"));
  const bool saved = picture.save(path);
  const int below = page.verticalScrollBar()->maximum();
  const int beside = page.horizontalScrollBar()->maximum();
  layout->removeWidget(&page);
  page.setParent(previous);
  const QColor corner = picture.pixelColor(picture.width() - 1, picture.height() - 1);
  if (!saved) return ::testing::AssertionFailure() << "not written: " << path.toStdString();
  if (below > 0 || beside > 0)
    return ::testing::AssertionFailure() << name.toStdString() << " needs " << below << " px more height, "
                                         << beside << " px more width than " << width << "x" << height;
  if (corner != Palette::canvas.resolve(dark))
    return ::testing::AssertionFailure() << name.toStdString() << " drawn on " << corner.name().toStdString()
                                         << ", not the " << (dark ? "dark" : "light") << " canvas";
  return ::testing::AssertionSuccess();
}

// <page>/ under the test output folder, for the PNGs a person looks at.
inline QString pageOutput(const QString& page, const QString& name) {
  const QString dir = outputDir() + QLatin1Char('/') + page;
  QDir().mkpath(dir);
  return dir + QLatin1Char('/') + name;
}

// Icons and the Fusion style as the application sets them up; call before building a page.
inline void prepareLook() {
  static const bool ready = [] {
    Icons::initResources();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    return true;
  }();
  (void)ready;
}

// Renders the widget at the size in light and dark under <page>/<name>-<light|dark>.png.
inline void grabBoth(QWidget& widget, const QString& page, const QString& name, QSize size) {
  prepareLook();
  widget.resize(size);
  for (const bool dark : {false, true}) {
    widget.setPalette(Appearance::palette(dark));
    widget.show();
    QApplication::processEvents();
    widget.grab().save(
        pageOutput(page, name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png"))));
  }
}

}  // namespace kivo::test
