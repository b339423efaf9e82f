#include "Gallery.h"
#include "TestSupport.h"
#include "design/Card.h"
#include "design/Icons.h"
#include "design/KeyValueRow.h"
#include "design/MemoryBar.h"
#include "design/Meter.h"
#include "design/MetricFamily.h"
#include "design/QualityBadge.h"
#include "design/Readout.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <limits>

namespace kivo {
namespace {

// Every component in the states users meet, for a person to look at in both schemes and
// densities. Each test checks that the four images were written.
void expectWritten(const QStringList& paths) {
  EXPECT_EQ(paths.size(), 4) << "gallery images written";
}

TEST(Gallery, Cards) {
  QWidget sheet;
  auto* grid = new QGridLayout(&sheet);
  grid->setSpacing(12);
  auto* cpu = new Card(QStringLiteral("CPU"), MetricFamily::cpu, MetricQuality::measured);
  cpu->addContent(new Readout(QStringLiteral("23 %"), QStringLiteral("Total load"), 28,
                              MetricFamilies::standard(MetricFamily::cpu)));
  cpu->addContent(new Meter(0.23, MetricFamilies::standard(MetricFamily::cpu), 6));
  grid->addWidget(cpu, 0, 0);
  auto* memory = new Card(QStringLiteral("Memory"), MetricFamily::memory, MetricQuality::estimated);
  memory->addContent(new KeyValueRow(QStringLiteral("Used"), QStringLiteral("11.2 GB")));
  memory->addContent(new KeyValueRow(QStringLiteral("Compressed"), std::nullopt, MetricQuality::bestEffort));
  grid->addWidget(memory, 0, 1);
  auto* gpu = new Card(QStringLiteral("GPU"), MetricFamily::gpu, MetricQuality::unavailable);
  gpu->addContent(new UnavailableRow(QStringLiteral("GPU load")));
  grid->addWidget(gpu, 1, 0);
  auto* plain = new Card(std::nullopt, MetricFamily::thermal, MetricQuality::estimated);
  plain->addContent(new ToneLabel(QStringLiteral("A card without a title has no header."),
                                  Typeface::caption(), Palette::textSecondary));
  grid->addWidget(plain, 1, 1);
  expectWritten(test::renderGallery(QStringLiteral("cards"), &sheet, QSize(640, 0)));
}

TEST(Gallery, BadgesAndReadouts) {
  QWidget sheet;
  auto* column = new QVBoxLayout(&sheet);
  auto* badges = new QHBoxLayout;
  for (const MetricQuality q : Quality::allCases()) badges->addWidget(new QualityBadge(q));
  badges->addStretch(1);
  column->addLayout(badges);
  auto* readouts = new QHBoxLayout;
  readouts->addWidget(new Readout(QStringLiteral("1.84 GB/s"), QStringLiteral("Read"), 28,
                                  MetricFamilies::standard(MetricFamily::disk)));
  readouts->addWidget(new Readout(std::nullopt, QStringLiteral("Temperature"), 28,
                                  MetricFamilies::standard(MetricFamily::thermal)));
  auto* narrow = new Readout(QStringLiteral("123,456,789.12 MB"),
                             QStringLiteral("Too wide: shrinks, then cut"), 28, Palette::textPrimary);
  narrow->setFixedWidth(150);
  readouts->addWidget(narrow);
  column->addLayout(readouts);
  expectWritten(test::renderGallery(QStringLiteral("badges-readouts"), &sheet, QSize(560, 0)));
}

TEST(Gallery, RowsMetersAndMemoryBars) {
  // On a card, where they are used: the tracks are drawn for the card's surface.
  Card sheet(QStringLiteral("Rows, meters and bars"), MetricFamily::memory, MetricQuality::derived);
  auto* column = sheet.body();
  column->addWidget(new KeyValueRow(QStringLiteral("App memory"), QStringLiteral("6.1 GB"), std::nullopt,
                                    MetricFamilies::standard(MetricFamily::memory)));
  column->addWidget(
      new KeyValueRow(QStringLiteral("Memory pressure"), QStringLiteral("12 %"), MetricQuality::estimated));
  column->addWidget(new KeyValueRow(QStringLiteral("Swap"), std::nullopt));
  column->addWidget(
      new UnavailableRow(QStringLiteral("Fan speed"),
                         QStringLiteral("No fan sensor is exposed by the kernel on this computer, so "
                                        "the speed cannot be shown.")));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const std::optional<double> f :
       {std::optional<double>(0.0), std::optional<double>(0.5), std::optional<double>(1.7),
        std::optional<double>(nan), std::optional<double>()}) {
    column->addWidget(new Meter(f, MetricFamilies::standard(MetricFamily::network), 6));
  }
  // Memory bars: a usual partition, one fuller than the memory, one without a total.
  for (const auto& [app, wired, cached, physical] :
       {std::array<std::uint64_t, 4>{30, 20, 15, 100}, {70, 50, 0, 100}, {30, 0, 0, 0}}) {
    MemorySample memory;
    memory.app = app;
    memory.wired = wired;
    memory.cached = cached;
    memory.physical = physical;
    auto* bar = new MemoryBar;
    bar->setMemory(memory);
    column->addWidget(bar);
  }
  expectWritten(test::renderGallery(QStringLiteral("rows-meters-bars"), &sheet, QSize(420, 0)));
}

// Every symbol of the icon table, tinted, with its name.
class IconSheet : public QWidget {
 public:
  IconSheet() {
    Icons::initResources();
    setMinimumSize(720, rows() * 26 + 8);
  }
  static int rows() { return (static_cast<int>(Icons::symbols().size()) + 2) / 3; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setFont(Typeface::caption());
    const QStringList names = Icons::symbols();
    for (int i = 0; i < names.size(); ++i) {
      const int x = 4 + (i / rows()) * 240;
      const int y = 4 + (i % rows()) * 26;
      const MetricFamily family = MetricFamilies::all()[static_cast<std::size_t>(i) % 8];
      painter.drawPixmap(x, y, Icons::pixmap(names[i], 20, MetricFamilies::standard(family).resolve(this)));
      painter.setPen(Palette::textPrimary.resolve(this));
      painter.drawText(QRect(x + 28, y, 210, 20), Qt::AlignVCenter, names[i]);
    }
  }
};

TEST(Gallery, Icons) {
  IconSheet sheet;
  expectWritten(test::renderGallery(QStringLiteral("icons"), &sheet, QSize(720, IconSheet::rows() * 26 + 8)));
  QWidget app;
  auto* row = new QHBoxLayout(&app);
  auto* logo = new QLabel;
  logo->setPixmap(Icons::applicationIcon().pixmap(96, 96));
  row->addWidget(logo);
  expectWritten(test::renderGallery(QStringLiteral("app-icon"), &app));
}

}  // namespace
}  // namespace kivo
