#include "LinuxNames.h"
#include "TestSupport.h"
#include "design/Appearance.h"
#include "design/Card.h"
#include "design/Environment.h"
#include "design/HintFence.h"
#include "design/KeyValueRow.h"
#include "design/MemoryBar.h"
#include "design/Meter.h"
#include "design/QualityBadge.h"
#include "design/Readout.h"
#include "design/SegmentBar.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace kivo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Meter, FillWidthOfTheWorkedExamplesAndBadFractions) {
  struct Case {
    double fraction, width, height, fill;
  };
  const Case cases[] = {
      {0.0, 200, 6, 6},                                             // a dot stays at the leading end
      {0.5, 200, 6, 100},                                           // half
      {1.7, 200, 6, 200},                                           // full, never past the end
      {1.0, 200, 6, 200},    {0.01, 200, 6, 6},                     // never narrower than tall
      {-3, 200, 6, 6},       {kNaN, 200, 6, 6},                     // not a number draws as empty
      {kInf, 200, 6, 200},   {-kInf, 200, 6, 6}, {0.5, -40, 6, 0},  // a width made negative counts as 0
      {0.5, kNaN, 6, 0},     {0.0, 4, 6, 4},  // a bar narrower than tall is filled, not overrun
      {0.5, 200, kNaN, 100},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(Meter::fillWidth(c.fraction, c.width, c.height), c.fill)
        << c.fraction << " in " << c.width << "×" << c.height;
  }
  EXPECT_DOUBLE_EQ(Meter::minimumFillWidth(6), 6);
  EXPECT_DOUBLE_EQ(Meter::clampedFraction(kNaN), 0);
  EXPECT_DOUBLE_EQ(Meter::clampedFraction(0.25), 0.25);
}

TEST(SegmentBar, WidthsAndFramesOfTheWorkedExamples) {
  using S = SegmentBar::Segment;
  const std::vector<S> two{{QStringLiteral("a"), 30, Palette::accent},
                           {QStringLiteral("b"), 20, Palette::danger}};
  EXPECT_EQ(SegmentBar::widths(two, 100, 200), (std::vector<double>{60, 40}));
  const auto frames = SegmentBar::frames(two, 100, QSizeF(200, 8));
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], QRectF(0, 0, 60, 8));
  EXPECT_EQ(frames[1], QRectF(61, 0, 40, 8));  // 1 apart; the rest shows the track

  struct Case {
    std::vector<double> values;
    double total, width;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {{30, 20}, 0, 200, {0, 0}},  // total 0: only the track
      {{30, 20}, -5, 200, {0, 0}},
      {{30, 20}, kNaN, 200, {0, 0}},
      {{-10, kNaN, 50}, 100, 200, {0, 0, 100}},  // negative and NaN widths draw as 0
      {{kInf, 10}, 100, 200, {200, 20}},
      {{80, 80}, 100, 100, {80, 80}},  // past the total: cut off at the end when drawn
      {{30}, 100, -50, {0}},           // a negative bar width counts as 0
  };
  for (const Case& c : cases) {
    std::vector<S> segments;
    for (const double v : c.values)
      segments.push_back({QString::number(segments.size()), v, Palette::accent});
    EXPECT_EQ(SegmentBar::widths(segments, c.total, c.width), c.expected) << c.total << " " << c.width;
  }
}

// The bar is clipped to its capsule: an overfull bar never paints past its trailing end.
TEST(MemoryBar, AnOverfullBarIsCutAtItsEnd) {
  MemorySample memory;
  memory.physical = 100;
  memory.app = 80;
  memory.wired = 80;
  QImage image(100, 10, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  MemoryBar::paint(painter, QRectF(0, 0, 100, 10), memory, false, false,
                   Palette::surfaceRaised.resolve(false));
  painter.end();
  EXPECT_EQ(qAlpha(image.pixel(99, 0)), 0) << "the corner outside the capsule stays clear";
  EXPECT_EQ(image.pixel(95, 5) & 0xFFFFFF, MemoryBar::resolvedColors(false, false)[1].rgb() & 0xFFFFFF)
      << "wired memory reaches the end";
}

// The figure is measured once per value: the hint must be that of the value shown, and a value
// as wide as the last one must not relayout the card around it.
TEST(Readout, HintFollowsTheValueAndAnEqualWidthKeepsTheLayout) {
  struct LayoutRequests : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      count += event->type() == QEvent::LayoutRequest;
      return false;
    }
  };
  QWidget holder;
  auto* column = new QVBoxLayout(&holder);
  auto* readout =
      new Readout(QStringLiteral("41 %"), QStringLiteral("Read"), 28, Palette::textPrimary, &holder);
  column->addWidget(readout);
  holder.show();
  QApplication::processEvents();
  LayoutRequests requests;
  holder.installEventFilter(&requests);
  // Figures that differ only in their digits reuse the last width: each must still match a
  // readout that measured it afresh.
  for (const char* value :
       {"42 %", "43 %", "100 %", "7 %", "—", "11.1 GB", "98.7 GB", "40.4 GB", "1,111 MB", "9,870 MB"}) {
    const QSize before = readout->sizeHint();
    requests.count = 0;
    readout->setValue(QString::fromUtf8(value));
    QApplication::processEvents();
    const Readout fresh(QString::fromUtf8(value), QStringLiteral("Read"), 28, Palette::textPrimary);
    EXPECT_EQ(readout->sizeHint(), fresh.sizeHint()) << value;
    EXPECT_EQ(requests.count > 0, readout->sizeHint() != before) << value;
  }
}

TEST(Readout, ShrinksToSixTenthsBeforeTruncating) {
  struct Case {
    qreal size, natural, available, fitted;
  };
  const Case cases[] = {
      {30, 100, 200, 30},                        // fits
      {30, 200, 150, 22.5}, {30, 200, 100, 18},  // 0.5 would be needed: stops at 0.6, then the ellipsis cuts
      {30, 200, -10, 18},   {30, kNaN, 100, 30}, {30, 200, kNaN, 30},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(Readout::fittedSize(c.size, c.natural, c.available), c.fitted)
        << c.natural << " in " << c.available;
  }
  Readout absent(std::nullopt, QStringLiteral("Used"), 28, Palette::textPrimary);
  EXPECT_EQ(absent.shownValue(), QStringLiteral("—"));
  EXPECT_EQ(absent.accessibleName(), QStringLiteral("Used, —"));
  absent.setValue(QStringLiteral("42 %"));
  EXPECT_EQ(absent.accessibleName(), QStringLiteral("Used, 42 %"));
}

TEST(QualityBadge, TextsTintsAndHelpAsTooltip) {
  struct Case {
    MetricQuality quality;
    const char* text;
    DynamicColor tint;
  };
  const Case cases[] = {
      {MetricQuality::measured, "Measured", Palette::warning},
      {MetricQuality::derived, "Derived", Palette::warning},
      {MetricQuality::estimated, "Estimate", Palette::warning},
      {MetricQuality::bestEffort, "Best effort", Palette::warning},
      {MetricQuality::unavailable, "Unavailable", Palette::textTertiary},
  };
  for (const Case& c : cases) {
    QualityBadge badge(c.quality);
    EXPECT_EQ(QualityBadge::text(c.quality), QString::fromLatin1(c.text));
    EXPECT_EQ(QualityBadge::tint(c.quality), c.tint);
    EXPECT_EQ(badge.toolTip(), QualityBadge::help(c.quality));
    EXPECT_EQ(badge.accessibleName(), QualityBadge::help(c.quality)) << "a screen reader reads the help";
  }
  EXPECT_EQ(
      QualityBadge::help(MetricQuality::bestEffort),
      QStringLiteral("Read from a kernel or driver interface that is not a stable, documented one. It may be "
                     "missing or change."));
  for (const MetricQuality q : Quality::allCases()) {
    EXPECT_TRUE(test::namesOnlyLinux(QualityBadge::help(q))) << Quality::rawValue(q);
  }
}

TEST(Card, HeaderOnlyWithATitleAndBadgesOnlyForDoubtfulQualities) {
  {
    Card card(std::nullopt, MetricFamily::cpu, MetricQuality::estimated);
    EXPECT_EQ(card.findChild<QWidget*>(QStringLiteral("card.header")), nullptr);
    EXPECT_EQ(card.findChild<QualityBadge*>(), nullptr);
  }
  struct Case {
    std::optional<MetricQuality> quality;
    bool badge;
  };
  const Case cases[] = {{std::nullopt, false},
                        {MetricQuality::measured, false},
                        {MetricQuality::derived, false},
                        {MetricQuality::estimated, true},
                        {MetricQuality::bestEffort, true},
                        {MetricQuality::unavailable, true}};
  for (const Case& c : cases) {
    Card card(QStringLiteral("Memory"), MetricFamily::memory, c.quality);
    auto* badge = card.findChild<QualityBadge*>();
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(!badge->isHidden(), c.badge);
    if (c.badge) {
      EXPECT_EQ(badge->quality(), *c.quality);
    }
  }
  Card card(QStringLiteral("CPU"), MetricFamily::cpu, MetricQuality::measured);
  card.setQuality(MetricQuality::bestEffort);
  EXPECT_FALSE(card.findChild<QualityBadge*>()->isHidden());
  auto* title = card.findChild<QLabel*>(QStringLiteral("card.title"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), QStringLiteral("CPU"));
  EXPECT_EQ(title->textFormat(), Qt::PlainText);
}

// A tick repaints small figures inside a card: the card then paints only its fill there, and
// must show exactly what painting it whole shows, in light and dark.
TEST(Card, APartialRepaintShowsWhatTheWholePaintShows) {
  const QRect bounds(0, 0, 300, 200);
  struct Case {
    QRect area;
    bool inside;
  };
  const Case cases[] = {
      {QRect(40, 60, 120, 50), true},  // a figure in the middle
      {QRect(2, 15, 296, 170), true},  // the widest band clear of the corners
      {QRect(15, 2, 270, 196), true},  // the tallest band clear of the corners
      {QRect(0, 80, 30, 20), false},   // across the left border
      {QRect(0, 0, 20, 20), false},    // a rounded corner
      {QRect(280, 180, 20, 20), false},
      {QRect(3, 3, 40, 40), false},  // inside the border but in the corner's curve
  };
  for (const bool dark : {false, true}) {
    QWidget root;
    root.setPalette(Appearance::palette(dark));
    auto* card = new Card(QStringLiteral("Memory"), MetricFamily::memory, std::nullopt, &root);
    card->setGeometry(bounds);
    const auto render = [card](const QRect& area) {
      QImage image(card->size(), QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::magenta);
      // The card alone, no children, each pixel where it is on the card.
      card->render(&image, area.topLeft(), QRegion(area), QWidget::RenderFlags());
      return image;
    };
    const QImage whole = render(bounds);
    for (const Case& c : cases) {
      EXPECT_EQ(Card::insideFill(bounds, c.area), c.inside) << c.area.x() << "," << c.area.y();
      const QImage part = render(c.area);
      for (int y = c.area.top(); y <= c.area.bottom(); ++y) {
        for (int x = c.area.left(); x <= c.area.right(); ++x) {
          ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y)) << x << "," << y << (dark ? " dark" : " light");
        }
      }
    }
  }
}

// A fenced label relayouts its surroundings only when its hints change, and is still laid out
// right after a change made while it was hidden.
TEST(HintFence, PassesOnlyChangedHintsAndCatchesUpWhenShown) {
  struct LayoutRequests : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      count += event->type() == QEvent::LayoutRequest;
      return false;
    }
  };
  QWidget holder;
  auto* row = new QHBoxLayout(&holder);
  auto* label = new QLabel(QStringLiteral("41 %"));
  auto* fence = new HintFence(label, &holder);
  row->addWidget(fence);
  row->addStretch(1);
  holder.resize(400, 40);
  holder.show();
  // Each level of a relayout is a posted event of its own.
  const auto settle = [] {
    for (int i = 0; i < 4; ++i) QApplication::processEvents();
  };
  settle();
  LayoutRequests requests;
  holder.installEventFilter(&requests);
  for (const char* text : {"42 %", "100 %", "7 %", "a much longer figure"}) {
    const QSize before = label->sizeHint();
    requests.count = 0;
    label->setText(QString::fromUtf8(text));
    settle();
    EXPECT_EQ(requests.count > 0, label->sizeHint() != before) << text;
    EXPECT_EQ(fence->width(), label->sizeHint().width()) << text;
    EXPECT_EQ(label->geometry(), fence->rect()) << text;
  }
  holder.hide();
  label->setText(QStringLiteral("wider still than the figure before it"));
  holder.show();
  settle();
  EXPECT_EQ(fence->width(), label->sizeHint().width());
  EXPECT_EQ(label->geometry(), fence->rect());
}

TEST(Card, PaddingAndSpacingFollowTheDensity) {
  struct Case {
    double density;
    int padding, spacing;
  };
  for (const Case& c : {Case{1.0, 16, 12}, Case{1.25, 20, 15}, Case{0.72, 12, 9}}) {
    QWidget root;
    auto* card = new Card(QStringLiteral("Disk"), MetricFamily::disk, std::nullopt, &root);
    Environment::apply(&root, c.density, false);
    const QMargins margins = card->layout()->contentsMargins();
    EXPECT_EQ(margins, QMargins(c.padding, c.padding, c.padding, c.padding)) << c.density;
    EXPECT_EQ(card->layout()->spacing(), c.spacing) << c.density;
    EXPECT_EQ(card->body()->spacing(), c.spacing) << c.density;
  }
  // A card placed under a root that already has its values takes them on parenting.
  QWidget root;
  Environment::apply(&root, 1.25, false);
  Card late(QStringLiteral("Disk"));
  late.setParent(&root);
  EXPECT_EQ(late.layout()->contentsMargins().left(), 20);
}

TEST(Rows, ValuesBadgesAndDefaults) {
  KeyValueRow absent(QStringLiteral("Swap"), std::nullopt);
  EXPECT_EQ(absent.shownValue(), QStringLiteral("—"));
  absent.setValue(QStringLiteral("1.2 GB"));
  EXPECT_EQ(absent.shownValue(), QStringLiteral("1.2 GB"));
  EXPECT_EQ(absent.accessibleName(), QStringLiteral("Swap, 1.2 GB"));
  for (const auto& [quality, badge] :
       std::vector<std::pair<std::optional<MetricQuality>, bool>>{{std::nullopt, false},
                                                                  {MetricQuality::measured, false},
                                                                  {MetricQuality::derived, false},
                                                                  {MetricQuality::unavailable, false},
                                                                  {MetricQuality::estimated, true},
                                                                  {MetricQuality::bestEffort, true}}) {
    KeyValueRow row(QStringLiteral("Pressure"), QStringLiteral("12 %"), quality);
    EXPECT_EQ(!row.findChild<QualityBadge*>()->isHidden(), badge);
  }
  // Outside text stays text.
  KeyValueRow markup(QStringLiteral("<b>name</b>"), QStringLiteral("<img src=x>"));
  for (QLabel* label : markup.findChildren<QLabel*>()) EXPECT_EQ(label->textFormat(), Qt::PlainText);

  UnavailableRow defaulted(QStringLiteral("Fan speed"));
  EXPECT_EQ(defaulted.shownReason(), QStringLiteral("Not available through supported system interfaces."));
  UnavailableRow reasoned(QStringLiteral("GPU"), QStringLiteral("No driver reports it."));
  EXPECT_EQ(reasoned.shownReason(), QStringLiteral("No driver reports it."));
  EXPECT_EQ(reasoned.findChild<QualityBadge*>()->quality(), MetricQuality::unavailable);
}

// A row's value can be selected and copied, but the text machinery behind selection exists only
// while the pointer is over it or a selection is kept; its size is the same either way.
TEST(Rows, ValueIsSelectableWhileHoveredAndKeepsASelection) {
  KeyValueRow row(QStringLiteral("Used"), QStringLiteral("11.2 GB"));
  auto* value = row.findChild<ToneLabel*>(QStringLiteral("row.value"));
  ASSERT_TRUE(value);
  EXPECT_EQ(value->textInteractionFlags(), Qt::NoTextInteraction);
  const QSize resting = value->sizeHint();

  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(value, &enter);
  EXPECT_TRUE(value->textInteractionFlags() & Qt::TextSelectableByMouse);
  EXPECT_EQ(value->sizeHint(), resting);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(value, &leave);
  EXPECT_EQ(value->textInteractionFlags(), Qt::NoTextInteraction);

  QApplication::sendEvent(value, &enter);
  value->setSelection(0, 4);
  QApplication::sendEvent(value, &leave);
  EXPECT_TRUE(value->hasSelectedText()) << "a selection outlives the hover";
  QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);
  QApplication::sendEvent(value, &focusOut);
  EXPECT_EQ(value->textInteractionFlags(), Qt::NoTextInteraction) << "focus elsewhere ends it";

  // A new figure while hovered keeps it selectable.
  QApplication::sendEvent(value, &enter);
  row.setValue(QStringLiteral("11.3 GB"));
  EXPECT_TRUE(value->textInteractionFlags() & Qt::TextSelectableByMouse);
  EXPECT_EQ(value->text(), QStringLiteral("11.3 GB"));
}

// Switching the appearance repaints with the other variant; nothing is rebuilt.
TEST(ToneLabel, FollowsTheInheritedPalette) {
  QWidget root;
  root.setPalette(Appearance::palette(false));
  auto* label = new ToneLabel(QStringLiteral("x"), Typeface::caption(), Palette::textSecondary, &root);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), Palette::textSecondary.resolve(false));
  root.setPalette(Appearance::palette(true));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), Palette::textSecondary.resolve(true));
  root.setPalette(Appearance::palette(false));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), Palette::textSecondary.resolve(false));
}

}  // namespace
}  // namespace kivo
