#include "features/history/HistoryExport.h"

#include "TestSupport.h"
#include "WriteFailures.h"
#include "design/Tokens.h"
#include "features/history/HistoryChart.h"

#include <QDir>

#include <cmath>

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace kivo {
namespace {

TEST(HistoryExport, CsvOfARawSeries) {
  Series series;
  series.metric = MetricID::cpuTotal;
  series.tier = StoreTier::raw;
  series.step = 2;
  series.points = {{1'765'356'400, 1.5, 7, 3.25, 2}, {1'765'356'402.5, 0, 1e16, 0.00001, 1}};
  EXPECT_EQ(HistoryExport::csv(series),
            QByteArray("metric,unit,tier,bucket_seconds,timestamp_iso8601,min,avg,max,samples\n"
                       "cpu.total,percent,raw,2.0,2025-12-10T08:46:40Z,1.5,3.25,7.0,2\n"
                       "cpu.total,percent,raw,2.0,2025-12-10T08:46:42Z,0.0,1e-05,1e+16,1\n"));
}

TEST(HistoryExport, CsvOfAnHourSeriesAndOfAnEmptyOne) {
  Series series;
  series.metric = MetricID::memCompressed;
  series.tier = StoreTier::hour;
  series.step = 3600;
  series.points = {{1'765'353'600, 1073741824, 2147483648.5, 1610612736, 60}};
  EXPECT_EQ(HistoryExport::csv(series),
            QByteArray("metric,unit,tier,bucket_seconds,timestamp_iso8601,min,avg,max,samples\n"
                       "memory.compressed,bytes,hour,3600.0,2025-12-10T08:00:00Z,1073741824.0,1610612736.0,"
                       "2147483648.5,60\n"));
  series.points.clear();
  EXPECT_EQ(HistoryExport::csv(series),
            QByteArray("metric,unit,tier,bucket_seconds,timestamp_iso8601,min,avg,max,samples\n"));
}

TEST(HistoryExport, FileNamesCarryMetricKeyAndRange) {
  EXPECT_EQ(HistoryExport::fileName(MetricID::memCompressed, HistoryRange::day, QStringLiteral("png")),
            QStringLiteral("KIVO-Monitor-memory.compressed-day.png"));
  EXPECT_EQ(HistoryExport::fileName(MetricID::cpuTotal, HistoryRange::sixHours, QStringLiteral("csv")),
            QStringLiteral("KIVO-Monitor-cpu.total-sixHours.csv"));
}

Series sample() {
  Series series;
  series.metric = MetricID::cpuTotal;
  series.step = 8;
  for (int i = 0; i < 300; ++i) {
    if (i > 120 && i < 160) continue;
    const double v = 30 + 20 * std::sin(i / 15.0);
    series.points.push_back({1'765'356'400 + i * 8.0, v - 5, v + 8, v, 4});
  }
  series.gaps = {{1'765'356'400 + 121 * 8.0, 1'765'356'400 + 160 * 8.0},
                 {1'765'356'400 + 300 * 8.0, 1'765'360'000}};
  return series;
}

TEST(HistoryExport, ImageIsTwoPixelsPerPointWithTheChosenAppearance) {
  const Series series = sample();
  const std::vector<double> bookmarks{1'765'357'000};
  const ValueFormatter format;
  HistoryExport::ImageContent content{&series, 1'765'356'400, 1'765'360'000, bookmarks,
                                      false,   false,         &format};
  const QImage light = HistoryExport::render(content);
  const QSize points = HistoryExport::imageSize(content);
  EXPECT_EQ(points.width(), 1148);
  EXPECT_GT(points.height(), 420 + 48 + 16);
  EXPECT_EQ(light.size(), points * 2);
  EXPECT_EQ(light.pixelColor(4, 4), Palette::surface.resolve(false));

  content.dark = true;
  const QImage dark = HistoryExport::render(content);
  EXPECT_EQ(dark.pixelColor(4, 4), Palette::surface.resolve(true));

  const QByteArray png = HistoryExport::png(light);
  ASSERT_FALSE(png.isEmpty());
  const QImage read = QImage::fromData(png, "PNG");
  EXPECT_EQ(read.size(), QSize(2296, points.height() * 2));

  const QString dir = test::outputDir() + QStringLiteral("/history");
  QDir().mkpath(dir);
  light.save(dir + QStringLiteral("/export-light.png"));
  dark.save(dir + QStringLiteral("/export-dark.png"));
}

// The chart the page shows is painted by the same function: a bucket alone between two breaks
// must leave a mark where it lies, or the only sample of that stretch is invisible.
TEST(HistoryChart, ABucketAloneBetweenTwoBreaksIsDrawnAsADot) {
  Series with;
  with.metric = MetricID::cpuTotal;
  with.step = 60;
  const double t0 = 1'765'356'000;
  with.points = {{t0, 10, 30, 20, 1},
                 {t0 + 60, 10, 30, 20, 1},
                 {t0 + 1800, 15, 15, 15, 1},
                 {t0 + 3540, 10, 30, 20, 1},
                 {t0 + 3600, 10, 30, 20, 1}};
  Series without = with;
  without.points.erase(without.points.begin() + 2);

  const HistoryChartStyle style = HistoryChartStyle::resolve(false);
  const QRectF rect(0, 0, 600, HistoryChart::kHeight);
  auto render = [&](const Series& series) {
    QImage image(rect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    HistoryChartContent content;
    content.series = &series;
    content.from = t0;
    content.to = t0 + 3600;
    content.color = QColor(200, 0, 0);
    HistoryChart::paint(painter, rect, content, style);
    return image;
  };
  const QImage a = render(with);
  const QImage b = render(without);
  HistoryChartContent content;
  content.series = &with;
  content.from = t0;
  content.to = t0 + 3600;
  const QRectF plot = HistoryChart::plotRect(rect, content, style);
  const int middle = static_cast<int>(plot.center().x());
  int changed = 0;
  int changedFarAway = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) == b.pixel(x, y)) continue;
      (std::abs(x - middle) <= 3 ? changed : changedFarAway) += 1;
    }
  }
  EXPECT_GE(changed, 4);
  EXPECT_EQ(changedFarAway, 0);
}

TEST(HistoryExport, WritingNeverLeavesAnEmptyOrTruncatedFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("good.csv"));
  EXPECT_EQ(HistoryExport::write(path, "first\n"), std::nullopt);
  // Nothing to write: the good file stays.
  EXPECT_TRUE(HistoryExport::write(path, QByteArray()).has_value());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("first\n"));
  file.close();
  // Replacing works whole.
  EXPECT_EQ(HistoryExport::write(path, "second\n"), std::nullopt);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("second\n"));
}

TEST(HistoryExport, AFailedWriteOfEitherFormatKeepsTheOldFileAndNamesThePath) {
  HistoryExport::ImageContent content;
  Series series;
  series.metric = MetricID::cpuTotal;
  series.points = {{1'765'356'400, 1, 2, 3, 1}, {1'765'356'460, 2, 3, 4, 1}};
  content.series = &series;

  content.to = 1'765'356'460;
  const struct {
    const char* name;
    QByteArray bytes;
  } formats[] = {{"history.csv", HistoryExport::csv(series)},
                 {"history.png", HistoryExport::png(HistoryExport::render(content))}};
  for (const auto& format : formats) {
    ASSERT_FALSE(format.bytes.isEmpty()) << format.name;
    for (const auto& failure : test::writeFailures()) {
      SCOPED_TRACE(std::string(format.name) + ", " + failure.name);
      QTemporaryDir dir;
      const QString path = dir.filePath(QLatin1String(format.name));
      ASSERT_EQ(HistoryExport::write(path, "old\n"), std::nullopt);
      const QStringList before = test::folderState(dir.path());
      std::optional<QString> error;
      {
        const auto armed = test::arm(failure);
        error = HistoryExport::write(path, format.bytes);
      }
      ASSERT_TRUE(error.has_value());
      EXPECT_TRUE(error->contains(path)) << error->toStdString();
      EXPECT_EQ(test::folderState(dir.path()), before);
    }
  }
}

}  // namespace
}  // namespace kivo
