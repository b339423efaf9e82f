#include "features/tray/MenuBarHooks.h"

#include "features/tray/MenuBarLabel.h"
#include "features/tray/MenuBarPanel.h"
#include "model/MonitorModel.h"
#include "platform/FileWriter.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <cmath>
#include <cstdio>

namespace kivo::MenuBarHooks {

namespace {

constexpr double kPadX = 14;
constexpr double kPadY = 5;
constexpr int kDotsPerMeter = 3780;  // 96 dpi, as the label measures its text

// The one panel window of the hook.
QPointer<QWidget>& panelWindow() {
  static QPointer<QWidget> window;
  return window;
}

// Asked for on the command line, so said whatever the logging rules.
void fail(const QString& error) {
  std::fprintf(stderr, "KIVO Monitor: the menu bar image is not saved. %s\n", qUtf8Printable(error));
}

}  // namespace

QWidget* showPanel(MonitorModel& model, AppSettings& settings, const MenuBarActions& actions) {
  delete panelWindow().data();
  auto* panel = new MenuBarPanel(model, actions);
  panel->setWindowTitle(tr("Menu Bar Panel"));
  panel->setAttribute(Qt::WA_DeleteOnClose, false);
  MenuBarPanel::followSettings(panel, settings);
  // The panel reads the model: it cannot outlive it.
  QObject::connect(&model, &QObject::destroyed, panel, [panel] { delete panel; });
  panel->refresh();
  panel->adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = panel->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    panel->move(frame.topLeft());
  }
  panel->show();
  panel->raise();
  panel->activateWindow();
  panelWindow() = panel;
  return panel;
}

QImage itemImage(const MonitorModel& model, const AppSettings& settings, bool dark, qreal scale) {
  static const std::vector<MenuBarItem> kAll = {MenuBarItem::cpu, MenuBarItem::memory, MenuBarItem::network,
                                                MenuBarItem::disk, MenuBarItem::battery};
  const MenuBarRenderer label = MenuBarLabel(model, settings).image(kAll);
  const QSizeF size = label.size() + QSizeF(2 * kPadX, 2 * kPadY);
  QImage image(static_cast<int>(std::ceil(size.width() * scale)),
               static_cast<int>(std::ceil(size.height() * scale)), QImage::Format_ARGB32_Premultiplied);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.setDevicePixelRatio(scale);
  image.fill(dark ? QColor(27, 30, 43) : QColor(233, 235, 242));
  QPainter painter(&image);
  label.paint(painter, QPointF(kPadX, kPadY), dark ? Qt::white : Qt::black);
  return image;
}

bool exportItem(const QString& directory, const MonitorModel& model, const AppSettings& settings) {
  const QString path = QDir(directory).filePath(QString::fromLatin1(kImageName));
  if (const auto error = FileWriter::makeFolder(directory, 0755)) {
    fail(*error);
    return false;
  }
  const bool dark = settings.appearance() != AppearanceChoice::light;

  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!itemImage(model, settings, dark).save(&buffer, "PNG") || png.isEmpty()) {
      fail(QStringLiteral("Cannot write “%1”: The image could not be encoded.").arg(path));
      return false;
    }
  }
  if (const auto error = FileWriter::write(path, png)) {
    fail(*error);
    return false;
  }
  return true;
}

}  // namespace kivo::MenuBarHooks
