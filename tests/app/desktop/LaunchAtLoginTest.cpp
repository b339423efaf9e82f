#include "desktop/LaunchAtLogin.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kivo {
namespace {

QString readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class LaunchAtLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home.isValid());
    previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_CONFIG_HOME", previous); }

  LaunchAtLogin make(const QString& program = QStringLiteral("/opt/kivo/bin/kivo-monitor")) {
    return LaunchAtLogin(QStringLiteral("kivo-monitor"), {}, program,
                         [this](const QString& line) { log << line; });
  }

  QTemporaryDir home;
  QByteArray previous;
  QStringList log;
};

TEST_F(LaunchAtLoginTest, SwitchingOnWritesAnEntryUnderTheConfigHomeAndOffRemovesIt) {
  LaunchAtLogin login = make();
  EXPECT_EQ(login.entryPath(), home.path() + "/autostart/kivo-monitor.desktop");
  EXPECT_FALSE(login.isEnabled());

  ASSERT_TRUE(login.setEnabled(true));
  EXPECT_TRUE(login.isEnabled());
  const QString text = readAll(login.entryPath());
  EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
  EXPECT_TRUE(text.contains("\nType=Application\n"));
  EXPECT_TRUE(text.contains("\nExec=\"/opt/kivo/bin/kivo-monitor\"\n"));
  // Nothing left behind by the atomic write.
  EXPECT_EQ(QDir(home.path() + "/autostart").entryList(QDir::Files | QDir::Hidden).size(), 1);

  ASSERT_TRUE(login.setEnabled(true));  // again: still one good entry
  EXPECT_TRUE(login.isEnabled());

  ASSERT_TRUE(login.setEnabled(false));
  EXPECT_FALSE(QFile::exists(login.entryPath()));
  EXPECT_FALSE(login.isEnabled());
  EXPECT_TRUE(login.setEnabled(false));  // already off
  EXPECT_TRUE(log.isEmpty());
}

TEST_F(LaunchAtLoginTest, TheEntryAndItsFolderAreOursAloneWhateverTheUmask) {
  const mode_t saved = ::umask(0);
  LaunchAtLogin login = make();
  const bool enabled = login.setEnabled(true);
  ::umask(saved);
  ASSERT_TRUE(enabled);
  for (const QString& path : {login.entryPath(), home.path() + "/autostart"}) {
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & (S_IWGRP | S_IWOTH), 0u) << path.toStdString();
  }
}

TEST_F(LaunchAtLoginTest, HiddenOrDisabledEntriesCountAsOff) {
  struct Case {
    const char* text;
    bool enabled;
  };
  const Case cases[] = {
      {"[Desktop Entry]\nType=Application\nExec=x\n", true},
      {"[Desktop Entry]\nExec=x\nHidden=true\n", false},
      {"[Desktop Entry]\nExec=x\nHidden = true\n", false},
      {"[Desktop Entry]\nExec=x\nHidden=false\n", true},
      {"[Desktop Entry]\nExec=x\nX-GNOME-Autostart-enabled=false\n", false},
      {"[Desktop Entry]\nExec=x\nX-GNOME-Autostart-enabled=true\n", true},
      // Keys of other groups do not switch the entry off.
      {"[Desktop Entry]\nExec=x\n[Desktop Action stop]\nHidden=true\n", true},
      {"# Hidden=true\n[Desktop Entry]\nExec=x\n", true},
  };
  LaunchAtLogin login = make();
  for (const Case& c : cases) {
    writeFile(login.entryPath(), c.text);
    EXPECT_EQ(login.isEnabled(), c.enabled) << c.text;
    EXPECT_EQ(LaunchAtLogin::entryEnabled(QString::fromUtf8(c.text)), c.enabled) << c.text;
  }
}

TEST_F(LaunchAtLoginTest, ProgramPathsAreQuotedAndEscapedForTheExecKey) {
  EXPECT_EQ(LaunchAtLogin::execValue("/usr/bin/kivo-monitor"), "\"/usr/bin/kivo-monitor\"");
  EXPECT_EQ(LaunchAtLogin::execValue("/home/a b/kivo"), "\"/home/a b/kivo\"");
  // Inside quotes " ` $ \ take a backslash; the string escape then doubles every backslash.
  EXPECT_EQ(LaunchAtLogin::execValue("/x/\"q\""), "\"/x/\\\\\"q\\\\\"\"");
  EXPECT_EQ(LaunchAtLogin::execValue("/x/$HOME`id`"), "\"/x/\\\\$HOME\\\\`id\\\\`\"");
  EXPECT_EQ(LaunchAtLogin::execValue("/x/a\\b"), "\"/x/a\\\\\\\\b\"");
  // A field code must not be expanded by the session.
  EXPECT_EQ(LaunchAtLogin::execValue("/x/100%u"), "\"/x/100%%u\"");
  // A newline would start a new key: refused.
  EXPECT_EQ(LaunchAtLogin::execValue("/x/a\nHidden=true"), QString());
  EXPECT_EQ(LaunchAtLogin::execValue(QString()), QString());
}

TEST_F(LaunchAtLoginTest, AProgramPathWithANewlineIsRefusedWithTheLogLine) {
  LaunchAtLogin login = make("/x/%s%n\nHidden=true");
  EXPECT_FALSE(login.setEnabled(true));
  EXPECT_FALSE(QFile::exists(login.entryPath()));
  ASSERT_EQ(log.size(), 1);
  EXPECT_TRUE(log[0].startsWith("KIVO Monitor: launch at login change failed: ")) << log[0].toStdString();
  // The text is data, never a format.
  EXPECT_TRUE(log[0].contains("%s%n"));
}

TEST_F(LaunchAtLoginTest, AFailedChangeWritesOneLogLineAndTheGetterKeepsTheRealState) {
  // A file where the autostart folder should be: nothing can be written below it.
  writeFile(home.path() + "/autostart", "not a folder");
  LaunchAtLogin login = make();
  EXPECT_FALSE(login.setEnabled(true));
  ASSERT_EQ(log.size(), 1);
  EXPECT_TRUE(log[0].startsWith("KIVO Monitor: launch at login change failed: ")) << log[0].toStdString();
  EXPECT_GT(log[0].size(), QString("KIVO Monitor: launch at login change failed: ").size());
  EXPECT_FALSE(login.isEnabled());
  EXPECT_EQ(readAll(home.path() + "/autostart"), "not a folder");
}

TEST_F(LaunchAtLoginTest, FailingToRemoveLeavesTheEntryOnAndLogs) {
  LaunchAtLogin login = make();
  // A non-empty folder in place of the entry cannot be removed as a file.
  QDir().mkpath(login.entryPath() + "/inside");
  EXPECT_FALSE(login.setEnabled(false));
  ASSERT_EQ(log.size(), 1);
  EXPECT_TRUE(log[0].startsWith("KIVO Monitor: launch at login change failed: "));
}

}  // namespace
}  // namespace kivo
