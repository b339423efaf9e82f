#include "desktop/DesktopNotifier.h"
#include "desktop/Notifier.h"

#include "analysis/AlertTransition.h"
#include "metrics/ValueFormatter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

class RecordingNotifier : public Notifier {
 public:
  struct Post {
    QUuid rule;
    QString title, body;
    bool critical;
  };
  void refreshStatus() override { setStatus(NotificationStatus::authorized); }
  void post(const QUuid& rule, const QString& title, const QString& body, bool critical) override {
    posts.push_back({rule, title, body, critical});
  }
  std::vector<Post> posts;
};

TEST(NotifierTest, OnlyFiredTransitionsPostAndCriticalRulesAreMarked) {
  RecordingNotifier notifier;
  AlertTransition fired;
  fired.rule.id = QUuid::createUuid();
  fired.rule.severity = Severity::warning;
  fired.kind = AlertTransition::Kind::fired;
  AlertTransition resolved = fired;
  resolved.kind = AlertTransition::Kind::resolved;
  AlertTransition critical = fired;
  critical.rule.severity = Severity::critical;

  notifier.notify(fired, "t", "b");
  notifier.notify(resolved, "t", "b");
  notifier.notify(critical, "t2", "b2");
  ASSERT_EQ(notifier.posts.size(), 2u);
  EXPECT_EQ(notifier.posts[0].rule, fired.rule.id);
  EXPECT_FALSE(notifier.posts[0].critical);
  EXPECT_EQ(notifier.posts[1].title, "t2");
  EXPECT_TRUE(notifier.posts[1].critical);
}

TEST(NotifierTest, AFiredRuleIsWordedByTitleAndBody) {
  RecordingNotifier notifier;
  const ValueFormatter format{QLocale(QLocale::English, QLocale::UnitedStates)};
  const AlertRule cpu{QUuid::createUuid(),
                      MetricID::cpuTotal,
                      AlertComparison::above,
                      90,
                      120,
                      600,
                      Severity::critical,
                      true};
  const AlertTransition fired{cpu, AlertTransition::Kind::fired, 93.4, QDateTime::currentDateTimeUtc(), 120};
  AlertTransition resolved = fired;
  resolved.kind = AlertTransition::Kind::resolved;
  notifier.notify(fired, format);
  notifier.notify(resolved, format);
  ASSERT_EQ(notifier.posts.size(), 1u);
  EXPECT_EQ(notifier.posts[0].rule, cpu.id);
  EXPECT_EQ(notifier.posts[0].title, "CPU usage is high");
  EXPECT_EQ(notifier.posts[0].body, "Now 93.4%. Condition: above 90.0% for 2 min.");
  EXPECT_TRUE(notifier.posts[0].critical);
}

TEST(NotifierTest, OnlyAuthorizedAndProvisionalLetNotificationsThrough) {
  EXPECT_TRUE(notificationsAllowed(NotificationStatus::authorized));
  EXPECT_TRUE(notificationsAllowed(NotificationStatus::provisional));
  EXPECT_FALSE(notificationsAllowed(NotificationStatus::denied));
  EXPECT_FALSE(notificationsAllowed(NotificationStatus::notDetermined));
  EXPECT_FALSE(notificationsAllowed(NotificationStatus::ephemeral));
}

TEST(NotifierTest, BodiesAreEscapedUnlessTheServerSaysItShowsPlainText) {
  const QString body = "Now 3 < 5 & \"x\". Condition: <b>above</b>";
  const QString escaped = "Now 3 &lt; 5 &amp; &quot;x&quot;. Condition: &lt;b&gt;above&lt;/b&gt;";
  EXPECT_EQ(DesktopNotifier::bodyText(body, QStringList{"body", "body-markup"}), escaped);
  EXPECT_EQ(DesktopNotifier::bodyText(body, std::nullopt), escaped);  // not known yet: safe side
  EXPECT_EQ(DesktopNotifier::bodyText(body, QStringList{"body"}), body);
}

}  // namespace
}  // namespace kivo
