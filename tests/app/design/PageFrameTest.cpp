#include "design/AdaptiveRowLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Environment.h"
#include "design/MemoryBar.h"
#include "design/MetricFamily.h"
#include "design/Page.h"
#include "design/PageHeader.h"
#include "design/SourcesCard.h"
#include "design/ToneLabel.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(PageHeader, TileShowsTheFamilyOrThePagesOwnSymbol) {
  EXPECT_EQ(PageHeader::tileSymbol(MetricFamily::memory, std::nullopt), QStringLiteral("memorychip"));
  EXPECT_EQ(PageHeader::tileSymbol(MetricFamily::memory, QStringLiteral("bell")), QStringLiteral("bell"));
  EXPECT_EQ(PageHeader::tileColor(MetricFamily::thermal, std::nullopt, false),
            MetricFamilies::standard(MetricFamily::thermal));
  EXPECT_EQ(PageHeader::tileColor(MetricFamily::thermal, std::nullopt, true),
            MetricFamilies::colorBlindSafe(MetricFamily::thermal));
  for (bool safe : {false, true}) {
    EXPECT_EQ(PageHeader::tileColor(MetricFamily::thermal, QStringLiteral("bell"), safe),
              Palette::accentSecondary);
  }
}

TEST(PageHeader, SpeaksTitleAndSubtitle) {
  PageHeader with(QStringLiteral("Memory"), QStringLiteral("16 GiB installed"), MetricFamily::memory);
  EXPECT_EQ(with.accessibleName(), QStringLiteral("Memory"));
  EXPECT_EQ(with.accessibleDescription(), QStringLiteral("16 GiB installed"));
  auto* subtitle = with.findChild<QLabel*>(QStringLiteral("pageHeader.subtitle"));
  ASSERT_NE(subtitle, nullptr);
  EXPECT_EQ(subtitle->textFormat(), Qt::PlainText);
  EXPECT_TRUE(subtitle->textInteractionFlags() & Qt::TextSelectableByMouse);

  PageHeader without(QStringLiteral("Alerts"), std::nullopt, MetricFamily::system, QStringLiteral("bell"));
  EXPECT_EQ(without.accessibleDescription(), QString());
  EXPECT_TRUE(without.findChild<QLabel*>(QStringLiteral("pageHeader.subtitle"))->isHidden());
}

TEST(Page, ColumnIsAtMost1500WideAndCentred) {
  EXPECT_EQ(Page::columnRect(2000), QRect(250, 0, 1500, 0));
  EXPECT_EQ(Page::columnRect(1500), QRect(0, 0, 1500, 0));
  EXPECT_EQ(Page::columnRect(900), QRect(0, 0, 900, 0));
  EXPECT_EQ(Page::columnRect(-5), QRect(0, 0, 0, 0));
}

TEST(Page, PlacesChildrenInThePaddedColumnByDensity) {
  struct Case {
    double density;
    int padding;
    int spacing;
  };
  for (const Case& c : {Case{1.0, 24, 16}, Case{0.85, 20, 14}, Case{1.25, 30, 20}}) {
    SCOPED_TRACE(c.density);
    Page page;
    page.setAttribute(Qt::WA_DontShowOnScreen);
    auto* first = new QWidget;
    first->setFixedHeight(40);
    first->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* second = new QWidget;
    second->setFixedHeight(100);
    second->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    page.addWidget(first);
    page.addWidget(second);
    Environment::apply(&page, c.density, false);
    page.resize(2000, 600);
    page.show();
    QApplication::processEvents();
    EXPECT_EQ(first->geometry(), QRect(250 + c.padding, c.padding, 1500 - 2 * c.padding, 40));
    EXPECT_EQ(second->geometry().top(), c.padding + 40 + c.spacing);
    // The content is at least as tall as the page and the canvas fills it.
    EXPECT_GE(page.content()->height(), 600 - 1);
  }
}

TEST(Page, ScrollsWhenTheColumnIsTallerThanThePage) {
  Page page;
  page.setAttribute(Qt::WA_DontShowOnScreen);
  for (int i = 0; i < 6; ++i) {
    auto* block = new QWidget;
    block->setFixedHeight(200);
    page.addWidget(block);
  }
  page.resize(800, 500);
  page.show();
  QApplication::processEvents();
  EXPECT_EQ(page.content()->height(), 24 + 6 * 200 + 5 * 16 + 24);
}

TEST(CardRow, StacksBelow720AndShareTheRowFrom720) {
  for (double density : {1.0, 0.72}) {
    SCOPED_TRACE(density);
    QWidget root;
    CardRow* row = new CardRow(&root);
    auto* a = new Card(QStringLiteral("A"));
    auto* b = new Card(QStringLiteral("B"));
    row->addWidget(a);
    row->addWidget(b);
    Environment::apply(&root, density, false);
    const int spacing = static_cast<int>(std::lround(16 * density));

    row->layout()->setGeometry(QRect(0, 0, 719, row->heightForWidth(719)));
    EXPECT_EQ(a->geometry().width(), 719);
    EXPECT_EQ(b->geometry().top(), a->geometry().bottom() + 1 + spacing);

    row->layout()->setGeometry(QRect(0, 0, 720, row->heightForWidth(720)));
    EXPECT_EQ(a->geometry().top(), b->geometry().top());
    EXPECT_EQ(b->geometry().left() - (a->geometry().right() + 1), spacing);
    EXPECT_EQ(a->geometry().width() + b->geometry().width() + spacing, 720);
  }
}

TEST(SourcesCard, OneEntryPerMetricWithDividersBetween) {
  const std::vector<MetricID> one = {MetricID::cpuTotal};
  SourcesCard single(one);
  EXPECT_EQ(single.findChildren<QWidget*>(QStringLiteral("sources.entry")).size(), 1);
  EXPECT_TRUE(single.findChildren<QWidget*>(QStringLiteral("sources.divider")).isEmpty());

  const std::vector<MetricID> three = {MetricID::cpuTotal, MetricID::memUsed, MetricID::cpuTotal,
                                       MetricID::cpuUser};
  SourcesCard card(three);
  EXPECT_EQ(card.metrics(),
            (std::vector<MetricID>{MetricID::cpuTotal, MetricID::memUsed, MetricID::cpuUser}));
  EXPECT_EQ(card.findChildren<QWidget*>(QStringLiteral("sources.entry")).size(), 3);
  EXPECT_EQ(card.findChildren<QWidget*>(QStringLiteral("sources.divider")).size(), 2);
  EXPECT_EQ(card.findChild<QLabel*>(QStringLiteral("card.title"))->text(),
            QStringLiteral("Sources and methods"));

  const MetricDescriptor& cpu = MetricCatalog::descriptor(MetricID::cpuTotal);
  const auto sources = card.findChildren<QLabel*>(QStringLiteral("sources.source"));
  ASSERT_EQ(sources.size(), 3);
  EXPECT_EQ(sources[0]->text(), cpu.source);
  EXPECT_EQ(sources[0]->textFormat(), Qt::PlainText);
  EXPECT_TRUE(card.findChild<QWidget*>(QStringLiteral("sources.entry"))
                  ->accessibleName()
                  .startsWith(cpu.name + ", "));
}

TEST(MemoryBar, ColoursOfBothPalettes) {
  for (const bool safe : {false, true}) {
    SCOPED_TRACE(safe);
    // The memory, disk, GPU and network families of that palette.
    const std::array<DynamicColor, 4> expected = {
        MetricFamilies::color(MetricFamily::memory, safe), MetricFamilies::color(MetricFamily::disk, safe),
        MetricFamilies::color(MetricFamily::gpu, safe), MetricFamilies::color(MetricFamily::network, safe)};
    EXPECT_EQ(MemoryBar::colors(safe), expected);
    const auto resolved = MemoryBar::resolvedColors(safe, true);
    EXPECT_EQ(resolved[0].alphaF(), 1.0f);
    EXPECT_NEAR(resolved[3].alphaF(), 0.45, 0.01);
    EXPECT_EQ(resolved[3].rgb(), expected[3].resolve(true).rgb());
  }
  EXPECT_NE(MemoryBar::colors(false), MemoryBar::colors(true));
}

TEST(MemoryBar, SegmentsLeaveOutAnAbsentCompressedFigure) {
  MemorySample memory;
  memory.physical = 1000;
  memory.app = 300;
  memory.wired = 100;
  memory.cached = 200;
  auto ids = [](const std::vector<SegmentBar::Segment>& segments) {
    QStringList list;
    for (const auto& s : segments) list << s.id;
    return list;
  };
  EXPECT_EQ(ids(MemoryBar::segments(memory, false)), QStringList({"app", "wired", "cached"}));
  EXPECT_EQ(MemoryBar::segments(memory, false)[2].color, MemoryBar::colors(false)[3]);
  memory.compressed = 50;
  const auto four = MemoryBar::segments(memory, true);
  EXPECT_EQ(ids(four), QStringList({"app", "wired", "compressed", "cached"}));
  EXPECT_EQ(four[2].value, 50);
  EXPECT_EQ(four[2].color, MemoryBar::colors(true)[2]);
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(Page, FollowsADensityChangeAfterItIsShown) {
  QWidget window;
  window.setAttribute(Qt::WA_DontShowOnScreen);
  auto* page = new Page(&window);
  auto* block = new QWidget;
  block->setFixedHeight(40);
  page->addWidget(block);
  page->setGeometry(0, 0, 1000, 400);
  window.resize(1000, 400);
  window.show();
  QApplication::processEvents();
  EXPECT_EQ(block->geometry().topLeft(), QPoint(24, 24));
  Environment::apply(&window, 0.72, false);
  QApplication::processEvents();
  EXPECT_EQ(block->geometry().topLeft(), QPoint(17, 17));
}

}  // namespace
}  // namespace kivo
