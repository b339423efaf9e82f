#include "TestSupport.h"
#include "design/Icons.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>

namespace kivo {
namespace {

// Every symbol name the interface uses; a page that adds one adds it to the table and here.
const char* const kSymbols[] = {
    "cpu",
    "square.stack.3d.up",
    "memorychip",
    "internaldrive",
    "network",
    "bolt.fill",
    "thermometer.medium",
    "desktopcomputer",
    "square.grid.2x2",
    "list.bullet.rectangle",
    "chart.xyaxis.line",
    "lightbulb",
    "bell",
    "bell.slash",
    "doc.text",
    "bookmark",
    "bookmark.fill",
    "pause.fill",
    "play.fill",
    "gearshape",
    "power",
    "battery.100.bolt",
    "battery.75",
    "plus",
    "checkmark",
    "rectangle.3.group",
    "slider.horizontal.3",
    "arrow.up.left.and.arrow.down.right",
    "xmark.circle.fill",
    "arrow.clockwise",
    "square.and.arrow.up",
    "trash",
    "sidebar.trailing",
    "arrow.right.circle",
    "checkmark.circle",
    "checkmark.circle.fill",
    "checkmark.seal",
    "info.circle",
    "info.circle.fill",
    "exclamationmark.triangle",
    "exclamationmark.triangle.fill",
    "exclamationmark.octagon.fill",
    "xmark.octagon",
    "minus.circle",
    "lock",
    "wifi",
    "wifi.slash",
    "cable.connector",
    "cable.connector.slash",
    "externaldrive",
    "externaldrive.connected.to.line.below",
    "app.fill",
    "waveform.path.ecg",
    "clock.arrow.circlepath",
    "menubar.rectangle",
    "hand.raised",
    "person.crop.circle.badge.xmark",
    "lock.shield",
    "checkmark.shield",
};

// The Adwaita file of a freedesktop name, or empty when the theme is not installed here.
QString adwaitaFile(const QString& name) {
  for (const QString& base :
       QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons/Adwaita"),
                                 QStandardPaths::LocateDirectory)) {
    for (const char* context : {"actions", "apps", "categories", "devices", "emblems", "mimetypes", "places",
                                "status", "ui", "legacy"}) {
      const QString path = QStringLiteral("%1/scalable/%2/%3.svg").arg(base, QLatin1String(context), name);
      if (QFile::exists(path)) return path;
    }
  }
  return {};
}

bool adwaitaInstalled() {
  return !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                 QStringLiteral("icons/Adwaita/index.theme"))
              .isEmpty();
}

// Share of pixels of the image drawn at all.
double coverage(const QImage& image) {
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  return double(drawn) / (image.width() * image.height());
}

class IconsTest : public ::testing::Test {
 protected:
  void SetUp() override { Icons::initResources(); }
};

TEST_F(IconsTest, TheTableHoldsExactlyTheSymbolsInUse) {
  QStringList expected;
  for (const char* s : kSymbols) expected << QString::fromLatin1(s);
  expected.sort();
  EXPECT_EQ(Icons::symbols(), expected);
}

TEST_F(IconsTest, EverySymbolIsOurSvgOrAnIconOfTheTheme) {
  const bool theme = adwaitaInstalled();
  for (const QString& symbol : Icons::symbols()) {
    SCOPED_TRACE(symbol.toStdString());
    const QString own = Icons::resourcePath(symbol);
    const QString themed = Icons::themeName(symbol);
    ASSERT_NE(own.isEmpty(), themed.isEmpty()) << "one source only";
    if (!own.isEmpty()) {
      EXPECT_TRUE(QFile::exists(own));
    } else if (theme) {
      EXPECT_TRUE(themed.endsWith(QLatin1String("-symbolic")));
      EXPECT_FALSE(adwaitaFile(themed).isEmpty()) << themed.toStdString() << " is not in Adwaita";
    } else {
      continue;
    }
    if (!own.isEmpty() || theme) {
      const QImage image = Icons::pixmap(symbol, 32, Qt::red).toImage();
      ASSERT_FALSE(image.isNull());
      EXPECT_GT(coverage(image), 0.04) << "draws something";
    }
  }
  if (!theme) GTEST_SKIP() << "Adwaita is not installed: theme icons were not checked";
}

TEST_F(IconsTest, SymbolicIconsTakeTheTintOnly) {
  const QColor tint(0x25, 0x63, 0xEB);
  for (const char* symbol : {"cpu", "internaldrive"}) {
    if (Icons::themeName(QLatin1String(symbol)).size() > 0 && !adwaitaInstalled()) continue;
    const QImage image =
        Icons::pixmap(QLatin1String(symbol), 24, tint).toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        if (qAlpha(p) == 255) {
          ++opaque;
          EXPECT_EQ(p & 0xFFFFFF, tint.rgb() & 0xFFFFFF) << symbol << " at " << x << "," << y;
        }
      }
    }
    EXPECT_GT(opaque, 10) << symbol;
  }
}

TEST_F(IconsTest, UnknownNamesAndBadSizesGiveNothing) {
  EXPECT_TRUE(Icons::icon(QStringLiteral("no.such.symbol"), Qt::black).isNull());
  EXPECT_TRUE(Icons::pixmap(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
  EXPECT_TRUE(Icons::pixmap(QString(), 16, Qt::black).isNull());
  EXPECT_TRUE(Icons::pixmap(QStringLiteral("cpu"), 0, Qt::black).isNull());
  EXPECT_TRUE(Icons::pixmap(QStringLiteral("cpu"), -4, Qt::black).isNull());
  EXPECT_TRUE(Icons::themeName(QStringLiteral("CPU")).isEmpty());
  // A bad device pixel ratio falls back to 1.
  EXPECT_EQ(Icons::pixmap(QStringLiteral("cpu"), 16, Qt::black, std::nan("")).size(), QSize(16, 16));
}

TEST_F(IconsTest, IconsDrawAtTheSizeAskedAndHigherRatios) {
  const QIcon icon = Icons::icon(QStringLiteral("memorychip"), Qt::darkGreen);
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(QSize(20, 20)).size(), QSize(20, 20));
  const QPixmap sharp = Icons::pixmap(QStringLiteral("memorychip"), 20, Qt::darkGreen, 2.0);
  EXPECT_EQ(sharp.size(), QSize(40, 40));
  EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
  EXPECT_FALSE(Icons::applicationIcon().isNull());
  EXPECT_FALSE(Icons::applicationIcon().pixmap(64, 64).isNull());
}

}  // namespace
}  // namespace kivo
