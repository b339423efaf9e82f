#pragma once

#include "ModelTestSupport.h"
#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Icons.h"
#include "design/Page.h"

#include <QApplication>
#include <QDir>
#include <QVBoxLayout>

#include <functional>

namespace kivo::test {

// A model over a scripted machine: its system description, GPUs and capability table.
struct PageRig {
  QTemporaryDir dir;
  MemoryPreferences domain;
  std::unique_ptr<MemoryPreferences> standard;
  std::unique_ptr<AppSettings> settings;
  Probe probe;
  std::unique_ptr<MonitorModel> model;

  explicit PageRig(SystemInfo system = {}, std::vector<GPUDevice> devices = {},
                   std::vector<SensorCapability> capabilities = {}) {
    standard = std::make_unique<MemoryPreferences>(QMap<QString, QVariant>{{QStringLiteral("KIVODataDir"), dir.path()}});
    settings = std::make_unique<AppSettings>(domain);
    MonitorModel::Environment environment = fakeEnvironment(probe);
    environment.systemInfo = [system] { return system; };
    environment.gpuDevices = [devices] { return devices; };
    environment.capabilities = [capabilities] { return capabilities; };
    model = std::make_unique<MonitorModel>(*settings, *standard, std::move(environment));
  }
  ~PageRig() { model.reset(); }
};

// Grabs a page as a window of each size shows it, and its whole column, in light and dark, into
// $KIVO_TEST_OUTPUT/<folder>/<name>-<light|dark>-<W>x<H>[-full].png. Returns the paths written.
inline QStringList shootPage(const std::function<Page*(QWidget*)>& make, const QString& folder, const QString& name) {
  Icons::initResources();
  const QString path = outputDir() + QLatin1Char('/') + folder;
  QDir().mkpath(path);
  QStringList written;
  for (const bool dark : {false, true}) {
    for (const QSize size : {QSize(1280, 860), QSize(860, 560)}) {
      QWidget host;
      host.setAttribute(Qt::WA_DontShowOnScreen);
      host.setPalette(Appearance::palette(dark));
      host.setAutoFillBackground(true);
      auto* layout = new QVBoxLayout(&host);
      layout->setContentsMargins(0, 0, 0, 0);
      Page* page = make(&host);
      layout->addWidget(page);
      host.resize(size);
      host.show();
      for (int i = 0; i < 3; ++i) QApplication::processEvents();
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
      if (column->grab().save(stem + QStringLiteral("-full.png"))) written << stem + QStringLiteral("-full.png");
      host.hide();
    }
  }
  return written;
}

}  // namespace kivo::test
