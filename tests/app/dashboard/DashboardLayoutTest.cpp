#include "features/dashboard/DashboardLayout.h"
#include "features/dashboard/WidgetCatalog.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using Widgets = DashboardLayout::Widgets;

struct Abc {
  WidgetConfig a{WidgetKind::cpu, WidgetSize::small};
  WidgetConfig b{WidgetKind::memory, WidgetSize::medium};
  WidgetConfig c{WidgetKind::disk, WidgetSize::large};
  Widgets list() const { return {a, b, c}; }
  std::vector<QUuid> ids(const Widgets& widgets) const {
    std::vector<QUuid> out;
    for (const auto& widget : widgets) out.push_back(widget.id);
    return out;
  }
};

TEST(DashboardLayout, MoveInsertsTheDraggedCardBeforeTheTarget) {
  const Abc w;
  using V = std::vector<QUuid>;
  EXPECT_EQ(w.ids(DashboardLayout::moved(w.list(), w.c.id, w.a.id)), (V{w.c.id, w.a.id, w.b.id}));
  EXPECT_EQ(w.ids(DashboardLayout::moved(w.list(), w.a.id, w.c.id)), (V{w.b.id, w.a.id, w.c.id}));
  EXPECT_EQ(w.ids(DashboardLayout::moved(w.list(), w.b.id, w.b.id)), (V{w.a.id, w.b.id, w.c.id}));
  // A dragged id of another preset changes nothing; an unknown target puts the card last.
  EXPECT_EQ(w.ids(DashboardLayout::moved(w.list(), QUuid::createUuid(), w.a.id)),
            (V{w.a.id, w.b.id, w.c.id}));
  EXPECT_EQ(w.ids(DashboardLayout::moved(w.list(), w.a.id, QUuid::createUuid())),
            (V{w.b.id, w.c.id, w.a.id}));
}

TEST(DashboardLayout, ShiftSwapsWithinTheList) {
  const Abc w;
  using V = std::vector<QUuid>;
  EXPECT_EQ(w.ids(DashboardLayout::shifted(w.list(), w.a.id, -1)), (V{w.a.id, w.b.id, w.c.id}));
  EXPECT_EQ(w.ids(DashboardLayout::shifted(w.list(), w.c.id, 1)), (V{w.a.id, w.b.id, w.c.id}));
  EXPECT_EQ(w.ids(DashboardLayout::shifted(w.list(), w.a.id, 1)), (V{w.b.id, w.a.id, w.c.id}));
  EXPECT_EQ(w.ids(DashboardLayout::shifted(w.list(), w.c.id, -1)), (V{w.a.id, w.c.id, w.b.id}));
  EXPECT_EQ(w.ids(DashboardLayout::shifted(w.list(), QUuid::createUuid(), 1)), (V{w.a.id, w.b.id, w.c.id}));
}

TEST(DashboardLayout, AddRemoveResize) {
  const Abc w;
  const Widgets added = DashboardLayout::added(w.list(), WidgetKind::topCPU);
  ASSERT_EQ(added.size(), 4u);
  EXPECT_EQ(added.back().kind, WidgetKind::topCPU);
  EXPECT_EQ(added.back().size, WidgetSize::medium);
  EXPECT_FALSE(added.back().id.isNull());

  Widgets twice = w.list();
  twice.push_back(w.b);
  EXPECT_EQ(DashboardLayout::removed(twice, w.b.id).size(), 2u);
  EXPECT_EQ(DashboardLayout::removed(w.list(), QUuid::createUuid()), w.list());

  EXPECT_EQ(DashboardLayout::resized(w.list(), w.a.id, WidgetSize::large)[0].size, WidgetSize::large);
  EXPECT_EQ(DashboardLayout::resized(w.list(), QUuid::createUuid(), WidgetSize::large), w.list());
}

TEST(DashboardLayout, PayloadIsUpperCaseUuidTextAndOnlyThatDrops) {
  const QUuid id = QUuid::fromString(QStringLiteral("{0f1d0000-0000-4000-8000-00000000abcd}"));
  EXPECT_EQ(DashboardLayout::dragPayload(id), "0F1D0000-0000-4000-8000-00000000ABCD");
  EXPECT_EQ(DashboardLayout::parsePayload(QStringLiteral("0F1D0000-0000-4000-8000-00000000ABCD")), id);
  EXPECT_EQ(DashboardLayout::parsePayload(QStringLiteral("0f1d0000-0000-4000-8000-00000000abcd")), id);
  for (const char* bad :
       {"", "cpu", "{0F1D0000-0000-4000-8000-00000000ABCD}", "0F1D0000-0000-4000-8000-00000000ABC"}) {
    EXPECT_FALSE(DashboardLayout::parsePayload(QString::fromLatin1(bad))) << bad;
  }
}

TEST(DashboardLayout, SaveNamesLoseSpacesAndTabsAtTheEndsOnly) {
  EXPECT_EQ(DashboardLayout::trimmedName(QStringLiteral("  \tMy layout \t ")), "My layout");
  EXPECT_EQ(DashboardLayout::trimmedName(QStringLiteral(" \t ")), "");
  EXPECT_EQ(DashboardLayout::trimmedName(QStringLiteral("\nName\n")), "\nName\n");
}

TEST(WidgetCatalog, EveryKindHasATitleSizeAndFamily) {
  EXPECT_EQ(WidgetKinds::allCases().size(), 14u);
  EXPECT_EQ(WidgetCatalog::title(WidgetKind::disk), "Storage");
  EXPECT_EQ(WidgetCatalog::title(WidgetKind::overhead), "KIVO Monitor overhead");
  EXPECT_EQ(WidgetCatalog::defaultSize(WidgetKind::alerts), WidgetSize::medium);
  EXPECT_EQ(WidgetCatalog::defaultSize(WidgetKind::battery), WidgetSize::small);
  EXPECT_EQ(WidgetCatalog::family(WidgetKind::topMemory), MetricFamily::memory);
  EXPECT_EQ(WidgetCatalog::symbol(WidgetKind::alerts), "desktopcomputer");
  EXPECT_EQ(WidgetCatalog::span(WidgetSize::large), 4);
  for (WidgetKind kind : WidgetKinds::allCases()) EXPECT_FALSE(WidgetCatalog::title(kind).isEmpty());
}

}  // namespace
}  // namespace kivo
