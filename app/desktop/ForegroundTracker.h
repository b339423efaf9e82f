#pragma once

#include <QDeadlineTimer>
#include <QObject>

#include <chrono>
#include <functional>
#include <vector>

class QTimer;
class QWindow;

namespace kivo {

// What decides whether one top-level window puts the application in the foreground.
struct WindowFacts {
  bool visible = false;
  bool exposed = false;  // the window system shows some of it (not fully covered)
  bool minimized = false;
  bool normalLevel = false;  // an ordinary window or dialog, not kept above others, no popup or tool
  bool titled = false;       // has a title bar
};

// Recomputes "some window is in the foreground" a fixed delay after any window is shown,
// hidden, exposed or covered, closed, activated or changes state, and reports every result,
// also an unchanged one. Events during the delay are covered by one report at the end of the
// delay and one more a full delay after the last of them.
class ForegroundTracker : public QObject {
  Q_OBJECT
 public:
  using WindowSource = std::function<std::vector<WindowFacts>()>;

  explicit ForegroundTracker(QObject* parent = nullptr,
                             std::chrono::milliseconds delay = std::chrono::milliseconds(400));

  // Starts watching the application's windows. Tests may replace where the windows come from.
  void start(WindowSource source = {});

  static bool inForeground(const std::vector<WindowFacts>& windows);
  static WindowFacts facts(const QWindow& window);
  static std::vector<WindowFacts> applicationWindows();

  // Computes now and reports (what the delay ends in).
  void update();
  // A window event happened: report after the delay.
  void schedule();

  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void foregroundComputed(bool inForeground);

 private:
  void onTimer();

  std::chrono::milliseconds delay_;
  WindowSource source_;
  QTimer* timer_ = nullptr;
  QDeadlineTimer due_;
  bool moreEvents_ = false;
  bool started_ = false;
};

}  // namespace kivo
