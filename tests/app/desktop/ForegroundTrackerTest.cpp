#include "desktop/ForegroundTracker.h"

#include "TestSupport.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kivo {
namespace {

using namespace std::chrono_literals;

TEST(ForegroundTrackerTest, OnlyAVisibleExposedUnminimisedNormalTitledWindowCounts) {
  const WindowFacts good{
      .visible = true, .exposed = true, .minimized = false, .normalLevel = true, .titled = true};
  auto with = [&](auto change) {
    WindowFacts f = good;
    change(f);
    return f;
  };
  EXPECT_TRUE(ForegroundTracker::inForeground({good}));
  EXPECT_FALSE(ForegroundTracker::inForeground({}));
  EXPECT_FALSE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.visible = false; })}));
  EXPECT_FALSE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.exposed = false; })}));
  EXPECT_FALSE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.minimized = true; })}));
  EXPECT_FALSE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.normalLevel = false; })}));
  EXPECT_FALSE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.titled = false; })}));
  // One good window among others is enough.
  EXPECT_TRUE(ForegroundTracker::inForeground({with([](WindowFacts& f) { f.titled = false; }), good}));
}

TEST(ForegroundTrackerTest, WindowKindsAndFlagsDecideLevelAndTitle) {
  struct Case {
    const char* name;
    Qt::WindowFlags flags;
    bool normalLevel;
    bool titled;
  };
  const Case cases[] = {
      {"window", Qt::Window, true, true},
      {"dialog", Qt::Dialog, true, true},
      {"frameless", Qt::Window | Qt::FramelessWindowHint, true, false},
      {"customised without title", Qt::Window | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint, true,
       false},
      {"customised with title", Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint, true, true},
      {"stays on top", Qt::Window | Qt::WindowStaysOnTopHint, false, true},
      {"tool", Qt::Tool, false, true},
      {"popup", Qt::Popup, false, true},
      {"tooltip", Qt::ToolTip, false, true},
      {"splash", Qt::SplashScreen, false, true},
  };
  for (const Case& c : cases) {
    QWindow window;
    window.setFlags(c.flags);
    const WindowFacts f = ForegroundTracker::facts(window);
    EXPECT_EQ(f.normalLevel, c.normalLevel) << c.name;
    EXPECT_EQ(f.titled, c.titled) << c.name;
    EXPECT_FALSE(f.visible) << c.name;
  }
}

class LiveForeground : public ::testing::Test {
 protected:
  void SetUp() override {
    QObject::connect(&tracker, &ForegroundTracker::foregroundComputed,
                     [this](bool value) { results.push_back(value); });
    tracker.start();
  }
  // Runs the event loop until a report arrives after this call (or a generous limit passes).
  std::optional<bool> nextReport() {
    const std::size_t before = results.size();
    if (!test::waitUntil([&] { return results.size() > before; })) return std::nullopt;
    test::runEventsFor(100);  // a second report for the same burst arrives too
    return results.back();
  }

  ForegroundTracker tracker{nullptr, 20ms};
  std::vector<bool> results;
};

TEST_F(LiveForeground, ShowingMinimisingAndHidingTheOnlyWindowIsReported) {
  QWidget window;
  window.setWindowTitle("KIVO Monitor");
  window.resize(200, 100);
  window.show();
  EXPECT_EQ(nextReport(), std::optional<bool>(true));

  window.showMinimized();
  EXPECT_EQ(nextReport(), std::optional<bool>(false));

  window.showNormal();
  EXPECT_EQ(nextReport(), std::optional<bool>(true));

  window.hide();
  EXPECT_EQ(nextReport(), std::optional<bool>(false));
}

TEST_F(LiveForeground, UntitledAndRaisedWindowsDoNotCount) {
  QWidget frameless(nullptr, Qt::Window | Qt::FramelessWindowHint);
  frameless.resize(100, 100);
  frameless.show();
  EXPECT_EQ(nextReport(), std::optional<bool>(false));

  QWidget floating(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
  floating.setWindowTitle("floating");
  floating.resize(100, 100);
  floating.show();
  EXPECT_EQ(nextReport(), std::optional<bool>(false));

  QWidget normal;
  normal.setWindowTitle("normal");
  normal.resize(100, 100);
  normal.show();
  EXPECT_EQ(nextReport(), std::optional<bool>(true));
  normal.close();
  EXPECT_EQ(nextReport(), std::optional<bool>(false));
}

TEST(ForegroundTrackerTest, EveryBurstIsReportedEvenWhenTheResultIsUnchanged) {
  ForegroundTracker tracker(nullptr, 10ms);
  int reports = 0;
  QObject::connect(&tracker, &ForegroundTracker::foregroundComputed, [&] { ++reports; });
  tracker.start([] { return std::vector<WindowFacts>{}; });
  // Waits for the expected count (however loaded the machine), then a little more for extras.
  auto settle = [&](int expected) {
    test::waitUntil([&] { return reports >= expected; });
    test::runEventsFor(100);
  };
  tracker.schedule();
  settle(1);
  EXPECT_EQ(reports, 1);
  tracker.schedule();
  settle(2);
  EXPECT_EQ(reports, 2);  // unchanged result, reported again
  // A burst: one report at the end of the delay, one more after the last event.
  tracker.schedule();
  tracker.schedule();
  tracker.schedule();
  settle(3);
  EXPECT_GE(reports, 3);
  EXPECT_LE(reports, 4);
}

}  // namespace
}  // namespace kivo
