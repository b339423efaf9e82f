#include "settings/JsonFilePreferences.h"
#include "settings/LaunchArgumentPreferences.h"
#include "settings/MemoryPreferences.h"
#include "settings/PreferenceDomains.h"

#include "TestSupport.h"
#include "WriteFailures.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kivo {
namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

struct BooleanCase {
  QVariant stored;
  bool expected;
};

TEST(PreferencesReading, BooleansFollowTheDefaultsRules) {
  const BooleanCase cases[] = {
      {QVariant(), false},
      {true, true},
      {false, false},
      {0.0, false},
      {2.0, true},
      {-0.5, true},
      {QStringLiteral("YES"), true},
      {QStringLiteral("yes"), true},
      {QStringLiteral("1"), true},
      {QStringLiteral("true"), true},
      {QStringLiteral("  +007"), true},
      {QStringLiteral("no"), false},
      {QStringLiteral("NO"), false},
      {QStringLiteral("0"), false},
      {QStringLiteral("000"), false},
      {QStringLiteral("false"), false},
      {QStringLiteral(""), false},
      {QByteArray("YES"), false},
  };
  for (const auto& c : cases) {
    MemoryPreferences prefs;
    if (c.stored.isValid()) prefs.set(QStringLiteral("k"), c.stored);
    EXPECT_EQ(prefs.boolean(QStringLiteral("k")), c.expected) << c.stored.toString().toStdString();
  }
}

TEST(PreferencesReading, NumbersAreFiniteAndWholeTextsOnly) {
  const struct {
    QVariant stored;
    double expected;
  } cases[] = {
      {QVariant(), 0},
      {2.5, 2.5},
      {true, 1},
      {QStringLiteral("0.2"), 0.2},
      {QStringLiteral(" 2 "), 2},
      {QStringLiteral("+3"), 3},
      {QStringLiteral("-1.5"), -1.5},
      {QStringLiteral("1e2"), 100},
      {QStringLiteral("abc"), 0},
      {QStringLiteral("2abc"), 0},
      {QStringLiteral("nan"), 0},
      {QStringLiteral("inf"), 0},
      {QStringLiteral("-infinity"), 0},
      {QStringLiteral("1e400"), 0},
      {QStringLiteral("0,5"), 0},
      {QByteArray("5"), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Preferences::numberValue(c.stored), c.expected) << c.stored.toString().toStdString();
  }
}

TEST(PreferencesReading, TypedReadersDoNotConvertBetweenTextAndData) {
  MemoryPreferences prefs;
  prefs.setString(QStringLiteral("text"), QStringLiteral("8.8.8.8"));
  prefs.setData(QStringLiteral("data"), QByteArray("[1]"));
  prefs.setNumber(QStringLiteral("number"), 8);
  EXPECT_EQ(prefs.string(QStringLiteral("text")), QStringLiteral("8.8.8.8"));
  EXPECT_FALSE(prefs.string(QStringLiteral("data")));
  EXPECT_FALSE(prefs.string(QStringLiteral("number")));
  EXPECT_EQ(prefs.data(QStringLiteral("data")), QByteArray("[1]"));
  EXPECT_FALSE(prefs.data(QStringLiteral("text")));
}

TEST(PreferencesReading, NonFiniteNumbersAreNotKept) {
  MemoryPreferences prefs;
  prefs.setNumber(QStringLiteral("n"), 4);
  prefs.setNumber(QStringLiteral("n"), std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(prefs.contains(QStringLiteral("n")));
  prefs.set(QStringLiteral("i"), 7);  // an int is kept as a number
  EXPECT_EQ(prefs.object(QStringLiteral("i")).typeId(), QMetaType::Double);
}

class JsonFilePreferencesTest : public ::testing::Test {
 protected:
  QString path() const { return dir.filePath(QStringLiteral("sub/settings.json")); }
  QTemporaryDir dir;
};

TEST_F(JsonFilePreferencesTest, EveryValueTypeSurvivesARewriteAndAReload) {
  const QByteArray binary(
      "\x00\xff\xfe"
      "abc",
      6);
  const QByteArray compactJson(R"({"a":[1,2.5,"x"],"b":true})");
  const QByteArray spacedJson("{ \"b\": 1, \"a\": 2 }");  // not compact: kept as text
  {
    JsonFilePreferences prefs(path());
    prefs.apply({{QStringLiteral("bool"), true},
                 {QStringLiteral("number"), 0.1},
                 {QStringLiteral("big"), 1e300},
                 {QStringLiteral("text"), QStringLiteral("héllo \"quoted\"")},
                 {QStringLiteral("empty"), QString()},
                 {QStringLiteral("json"), compactJson},
                 {QStringLiteral("spaced"), spacedJson},
                 {QStringLiteral("binary"), binary},
                 {QStringLiteral("emptyData"), QByteArray()}});
    EXPECT_TRUE(prefs.lastError().isEmpty()) << prefs.lastError().toStdString();
  }
  JsonFilePreferences reread(path());
  EXPECT_EQ(reread.object(QStringLiteral("bool")), QVariant(true));
  EXPECT_EQ(reread.object(QStringLiteral("number")), QVariant(0.1));
  EXPECT_EQ(reread.object(QStringLiteral("big")), QVariant(1e300));
  EXPECT_EQ(reread.string(QStringLiteral("text")), QStringLiteral("héllo \"quoted\""));
  EXPECT_EQ(reread.string(QStringLiteral("empty")), QString());
  EXPECT_EQ(reread.data(QStringLiteral("json")), compactJson);
  EXPECT_EQ(reread.data(QStringLiteral("spaced")), spacedJson);
  EXPECT_EQ(reread.data(QStringLiteral("binary")), binary);
  EXPECT_EQ(reread.data(QStringLiteral("emptyData")), QByteArray());

  // JSON data stays readable in the file.
  const QJsonObject root = QJsonDocument::fromJson(readAll(path())).object();
  EXPECT_TRUE(root.value(QStringLiteral("json")).toObject().value(QStringLiteral("json")).isObject());
}

TEST_F(JsonFilePreferencesTest, ConstructionAndReadingWriteNothing) {
  JsonFilePreferences prefs(path());
  EXPECT_FALSE(prefs.contains(QStringLiteral("x")));
  EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(JsonFilePreferencesTest, RemovingAKeyRewritesWithoutIt) {
  JsonFilePreferences prefs(path());
  prefs.setBool(QStringLiteral("a"), true);
  prefs.setBool(QStringLiteral("b"), false);
  prefs.remove(QStringLiteral("a"));
  JsonFilePreferences reread(path());
  EXPECT_EQ(reread.keys(), QStringList{QStringLiteral("b")});
}

TEST_F(JsonFilePreferencesTest, EntriesOfAnUnknownFormAreKeptAcrossRewrites) {
  QDir().mkpath(QFileInfo(path()).absolutePath());
  writeAll(path(), R"({"future": {"kind": "set", "items": [1]}, "nothing": null, "a": 1})");
  JsonFilePreferences prefs(path());
  EXPECT_FALSE(prefs.contains(QStringLiteral("future")));
  EXPECT_EQ(prefs.number(QStringLiteral("a")), 1);
  prefs.setBool(QStringLiteral("b"), true);
  const QJsonObject root = QJsonDocument::fromJson(readAll(path())).object();
  EXPECT_EQ(root.value(QStringLiteral("future")).toObject().value(QStringLiteral("kind")).toString(), "set");
  EXPECT_TRUE(root.value(QStringLiteral("nothing")).isNull());
  EXPECT_TRUE(root.value(QStringLiteral("b")).toBool());

  // Writing over such an entry moves it aside instead of dropping it.
  prefs.setNumber(QStringLiteral("future"), 2);
  const QJsonObject after = QJsonDocument::fromJson(readAll(path())).object();
  EXPECT_EQ(after.value(QStringLiteral("future")).toDouble(), 2);
  EXPECT_EQ(
      after.value(QStringLiteral("future.unreadable")).toObject().value(QStringLiteral("kind")).toString(),
      "set");
}

TEST_F(JsonFilePreferencesTest, ASecondUnknownEntryMovedAsideKeepsTheFirst) {
  // A run moved one unknown entry aside; a later run finds another under the same key.
  QDir().mkpath(QFileInfo(path()).absolutePath());
  writeAll(path(), R"({"future": {"kind": "new"}, "future.unreadable": {"kind": "old"},
                       "future.unreadable.1": true})");
  JsonFilePreferences prefs(path());
  prefs.setNumber(QStringLiteral("future"), 3);
  const QJsonObject root = QJsonDocument::fromJson(readAll(path())).object();
  EXPECT_EQ(root.value(QStringLiteral("future")).toDouble(), 3);
  EXPECT_EQ(root.value(QStringLiteral("future.unreadable")).toObject().value(QStringLiteral("kind")), "old");
  EXPECT_TRUE(root.value(QStringLiteral("future.unreadable.1")).toBool());
  EXPECT_EQ(root.value(QStringLiteral("future.unreadable.2")).toObject().value(QStringLiteral("kind")),
            "new");
}

TEST_F(JsonFilePreferencesTest, AnUnparsableFileIsMovedAsideBeforeItIsReplaced) {
  QDir().mkpath(QFileInfo(path()).absolutePath());
  const QByteArray broken(R"({"appearance": "dark", )");
  writeAll(path(), broken);
  JsonFilePreferences prefs(path());
  EXPECT_FALSE(prefs.lastError().isEmpty());
  EXPECT_TRUE(prefs.keys().isEmpty());
  EXPECT_EQ(readAll(path()), broken);  // reading leaves it alone

  prefs.setString(QStringLiteral("appearance"), QStringLiteral("light"));
  EXPECT_EQ(prefs.preservedCopy(), path() + QStringLiteral(".unreadable"));
  EXPECT_EQ(readAll(path() + QStringLiteral(".unreadable")), broken);
  EXPECT_EQ(JsonFilePreferences(path()).string(QStringLiteral("appearance")), QStringLiteral("light"));

  // A second broken file does not overwrite the first copy.
  writeAll(path(), "[]");
  JsonFilePreferences again(path());
  again.setBool(QStringLiteral("x"), true);
  EXPECT_EQ(readAll(path() + QStringLiteral(".unreadable")), broken);
  EXPECT_EQ(readAll(path() + QStringLiteral(".unreadable.1")), QByteArray("[]"));
}

QStringList collectedWarnings;

// Only warnings a user can turn off as "kivo.settings" count.
void collectWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("kivo.settings"))
    collectedWarnings << message;
}

TEST_F(JsonFilePreferencesTest, AnUnreadableFileIsReportedOnStandardError) {
  // Settings that silently fell back to their defaults would leave the user guessing.
  QDir().mkpath(QFileInfo(path()).absolutePath());
  writeAll(path(), "{not json");
  collectedWarnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
  JsonFilePreferences prefs(path());
  qInstallMessageHandler(previous);
  ASSERT_EQ(collectedWarnings.size(), 1);
  EXPECT_TRUE(collectedWarnings.front().contains(path()));
  EXPECT_EQ(collectedWarnings.front(), prefs.lastError());
}

// A settings file is a few kilobytes: a huge one is refused unread (not held in memory)
// and kept aside like a file that does not parse.
TEST_F(JsonFilePreferencesTest, AFileOverOneMebibyteIsUnreadableAndKeptAside) {
  QDir().mkpath(QFileInfo(path()).absolutePath());
  for (const qint64 size : {JsonFilePreferences::kMaxFileBytes, JsonFilePreferences::kMaxFileBytes + 1}) {
    SCOPED_TRACE(size);
    QByteArray big = R"({"latencyHost": ")";
    big += QByteArray(size - big.size() - 2, 'x');
    big += "\"}";
    ASSERT_EQ(big.size(), size);
    writeAll(path(), big);
    QFile::remove(path() + QStringLiteral(".unreadable"));
    collectedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    JsonFilePreferences prefs(path());
    qInstallMessageHandler(previous);
    if (size <= JsonFilePreferences::kMaxFileBytes) {
      EXPECT_TRUE(prefs.lastError().isEmpty());
      EXPECT_EQ(prefs.string(QStringLiteral("latencyHost"))->size(), size - 19);
      continue;
    }
    ASSERT_EQ(collectedWarnings.size(), 1);
    EXPECT_TRUE(collectedWarnings.front().contains(path())) << collectedWarnings.front().toStdString();
    EXPECT_TRUE(prefs.keys().isEmpty());
    EXPECT_EQ(readAll(path()), big);  // reading leaves it alone
    prefs.setBool(QStringLiteral("privacyMask"), true);
    EXPECT_EQ(readAll(path() + QStringLiteral(".unreadable")), big);
    EXPECT_LT(QFileInfo(path()).size(), 100);
  }
}

TEST_F(JsonFilePreferencesTest, AFileThatCannotBeReadIsNeverReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  QDir().mkpath(QFileInfo(path()).absolutePath());
  writeAll(path(), R"({"a": true})");
  QFile::setPermissions(path(), QFileDevice::WriteOwner);
  JsonFilePreferences prefs(path());
  prefs.setBool(QStringLiteral("b"), true);
  EXPECT_FALSE(prefs.lastError().isEmpty());
  EXPECT_TRUE(prefs.boolean(QStringLiteral("b")));  // kept in memory
  QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(readAll(path()), QByteArray(R"({"a": true})"));
}

TEST_F(JsonFilePreferencesTest, AFailedSaveKeepsTheFileSaysSoOnceAndTriesAgainAtTheNextChange) {
  for (const auto& failure : test::writeFailures()) {
    SCOPED_TRACE(failure.name);
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("settings.json"));
    JsonFilePreferences prefs(file);
    prefs.setString(QStringLiteral("appearance"), QStringLiteral("dark"));
    const QStringList before = test::folderState(home.path());
    collectedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    {
      const auto armed = test::arm(failure);
      prefs.setString(QStringLiteral("appearance"), QStringLiteral("light"));
    }
    // The same failure at the next change is not said again.
    {
      const auto armed = test::arm(failure);
      prefs.setBool(QStringLiteral("privacyMask"), true);
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(test::folderState(home.path()), before);
    ASSERT_EQ(collectedWarnings.size(), 1);
    EXPECT_TRUE(collectedWarnings.front().contains(file)) << collectedWarnings.front().toStdString();
    EXPECT_TRUE(prefs.saveError().contains(FileWriter::reason(failure.error)))
        << prefs.saveError().toStdString();
    EXPECT_EQ(prefs.string(QStringLiteral("appearance")), QStringLiteral("light"));  // kept in memory

    prefs.setBool(QStringLiteral("notifications"), true);
    EXPECT_TRUE(prefs.saveError().isEmpty());
    JsonFilePreferences reread(file);
    EXPECT_EQ(reread.string(QStringLiteral("appearance")), QStringLiteral("light"));
    EXPECT_TRUE(reread.boolean(QStringLiteral("privacyMask")));
  }
}

TEST_F(JsonFilePreferencesTest, AChangeThatFailedToSaveIsTriedAgainAtQuitAndSaidIfItStillFails) {
  for (const auto& failure : test::writeFailures()) {
    for (const bool stillFails : {false, true}) {
      SCOPED_TRACE(std::string(failure.name) + (stillFails ? ", fails again" : ", saved at quit"));
      QTemporaryDir home;
      const QString file = home.filePath(QStringLiteral("settings.json"));
      JsonFilePreferences prefs(file);
      prefs.setString(QStringLiteral("appearance"), QStringLiteral("dark"));
      {
        const auto armed = test::arm(failure);
        prefs.setString(QStringLiteral("appearance"), QStringLiteral("light"));
      }
      collectedWarnings.clear();
      const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
      {
        const auto armed = stillFails ? test::arm(failure) : nullptr;
        prefs.saveBeforeQuit();
      }
      qInstallMessageHandler(previous);
      EXPECT_EQ(JsonFilePreferences(file).string(QStringLiteral("appearance")),
                stillFails ? QStringLiteral("dark") : QStringLiteral("light"));
      if (!stillFails) {
        EXPECT_TRUE(collectedWarnings.isEmpty()) << collectedWarnings.join(u'\n').toStdString();
        continue;
      }
      ASSERT_EQ(collectedWarnings.size(), 1);
      EXPECT_TRUE(collectedWarnings.front().contains(file)) << collectedWarnings.front().toStdString();
      EXPECT_TRUE(collectedWarnings.front().contains(FileWriter::reason(failure.error)))
          << collectedWarnings.front().toStdString();
    }
  }
}

TEST_F(JsonFilePreferencesTest, AHandEditBetweenTwoChangesSurvivesTheNextChange) {
  const QByteArray edited(
      R"({"appearance": "light", "latencyHost": "9.9.9.9", "future": {"kind": "set"}, "privacyMask": true})");
  const struct {
    const char* name;
    bool inPlace;
  } edits[] = {{"an editor that writes a new file and renames it", false}, {"a rewrite in place", true}};
  for (const auto& edit : edits) {
    SCOPED_TRACE(edit.name);
    QFile::remove(path());
    JsonFilePreferences prefs(path());
    prefs.setString(QStringLiteral("appearance"), QStringLiteral("dark"));
    prefs.setBool(QStringLiteral("privacyMask"), false);
    if (edit.inPlace) {
      writeAll(path(), edited);
    } else {
      writeAll(path() + QStringLiteral(".new"), edited);
      ASSERT_EQ(::rename(QFile::encodeName(path() + QStringLiteral(".new")).constData(),
                         QFile::encodeName(path()).constData()),
                0);
    }
    prefs.setBool(QStringLiteral("notifications"), true);
    // The user's change made here after the edit goes on top of it.
    prefs.setBool(QStringLiteral("privacyMask"), false);

    JsonFilePreferences reread(path());
    EXPECT_EQ(reread.string(QStringLiteral("appearance")), QStringLiteral("light"));
    EXPECT_EQ(reread.string(QStringLiteral("latencyHost")), QStringLiteral("9.9.9.9"));
    EXPECT_TRUE(reread.boolean(QStringLiteral("notifications")));
    EXPECT_FALSE(reread.boolean(QStringLiteral("privacyMask")));
    EXPECT_EQ(prefs.string(QStringLiteral("appearance")), QStringLiteral("light"));
    const QJsonObject root = QJsonDocument::fromJson(readAll(path())).object();
    EXPECT_EQ(root.value(QStringLiteral("future")).toObject().value(QStringLiteral("kind")), "set");
  }
}

TEST_F(JsonFilePreferencesTest, TheFileIsPrivateAndItsFolderTooWhateverTheUmask) {
  const mode_t saved = ::umask(0);
  JsonFilePreferences prefs(path());
  prefs.setBool(QStringLiteral("a"), true);
  ::umask(saved);
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(path()).absolutePath()).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0700u);
}

TEST_F(JsonFilePreferencesTest, AFileReplacedByOneThatDoesNotParseIsMovedAsideAtTheNextWrite) {
  JsonFilePreferences prefs(path());
  prefs.setBool(QStringLiteral("a"), true);
  const QByteArray foreign("<settings>not ours</settings>");
  writeAll(path(), foreign);
  prefs.setBool(QStringLiteral("b"), true);
  EXPECT_EQ(readAll(path() + QStringLiteral(".unreadable")), foreign);
  JsonFilePreferences reread(path());
  EXPECT_TRUE(reread.boolean(QStringLiteral("a")));
  EXPECT_TRUE(reread.boolean(QStringLiteral("b")));
  // A file we wrote ourselves is not moved again.
  prefs.setBool(QStringLiteral("c"), true);
  EXPECT_FALSE(QFileInfo::exists(path() + QStringLiteral(".unreadable.1")));
}

TEST_F(JsonFilePreferencesTest, EraseRemovesTheSuite) {
  JsonFilePreferences prefs(path());
  prefs.setBool(QStringLiteral("a"), true);
  ASSERT_TRUE(QFileInfo::exists(path()));
  EXPECT_TRUE(JsonFilePreferences::erase(path()));
  EXPECT_FALSE(QFileInfo::exists(path()));
  EXPECT_TRUE(JsonFilePreferences::erase(path()));  // already gone
}

// Points the config folder at a temporary one for the life of the fixture.
class ConfigHome : public ::testing::Test {
 protected:
  void SetUp() override {
    old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  }
  void TearDown() override {
    if (old.isNull()) {
      qunsetenv("XDG_CONFIG_HOME");
    } else {
      qputenv("XDG_CONFIG_HOME", old);
    }
  }
  QTemporaryDir dir;
  QByteArray old;
};

TEST_F(ConfigHome, PathsFollowXdgConfigHome) {
  EXPECT_EQ(JsonFilePreferences::standardPath(), dir.path() + QStringLiteral("/kivo-monitor/settings.json"));
  EXPECT_EQ(JsonFilePreferences::testSuitePath(),
            dir.path() + QStringLiteral("/kivo-monitor/settings.uitest.json"));
}

TEST_F(ConfigHome, SettingsLiveInTheStandardFileOutsideTestMode) {
  auto domains = PreferenceDomains::forLaunch(
      {QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"), QStringLiteral("NO")});
  EXPECT_FALSE(domains.testSuite);
  domains.settings().setBool(QStringLiteral("privacyMask"), true);
  EXPECT_TRUE(
      JsonFilePreferences(JsonFilePreferences::standardPath()).boolean(QStringLiteral("privacyMask")));
  EXPECT_FALSE(QFileInfo::exists(JsonFilePreferences::testSuitePath()));
}

TEST_F(ConfigHome, TestModeErasesItsSuiteAndLeavesTheStandardFileAlone) {
  {
    JsonFilePreferences standard(JsonFilePreferences::standardPath());
    standard.setString(QStringLiteral("appearance"), QStringLiteral("dark"));
    JsonFilePreferences suite(JsonFilePreferences::testSuitePath());
    suite.setString(QStringLiteral("appearance"), QStringLiteral("light"));
  }
  const QByteArray standardBytes = readAll(JsonFilePreferences::standardPath());
  auto domains = PreferenceDomains::forLaunch({QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"),
                                               QStringLiteral("YES"), QStringLiteral("-KIVOInterval"),
                                               QStringLiteral("1")});
  ASSERT_TRUE(domains.testSuite);
  EXPECT_FALSE(domains.settings().contains(QStringLiteral("appearance")));  // erased at launch
  EXPECT_EQ(domains.standard->number(QStringLiteral("KIVOInterval")), 1);
  domains.settings().setString(QStringLiteral("appearance"), QStringLiteral("light"));
  EXPECT_EQ(readAll(JsonFilePreferences::standardPath()), standardBytes);
  EXPECT_EQ(JsonFilePreferences(JsonFilePreferences::testSuitePath()).string(QStringLiteral("appearance")),
            QStringLiteral("light"));
}

TEST(LaunchArguments, ParsePairsAfterTheProgramName) {
  const QStringList args{
      QStringLiteral("kivo-monitor"), QStringLiteral("-KIVOUITest"), QStringLiteral("YES"),
      QStringLiteral("--verbose"),    QStringLiteral("-"),           QStringLiteral("-KIVOInterval"),
      QStringLiteral("-1"),           QStringLiteral("-KIVOUITest"), QStringLiteral("NO"),
      QStringLiteral("-dangling")};
  const auto pairs = LaunchArgumentPreferences::parse(args);
  EXPECT_EQ(pairs.size(), 2);
  EXPECT_EQ(pairs.value(QStringLiteral("KIVOUITest")), QStringLiteral("NO"));  // the later pair wins
  EXPECT_EQ(pairs.value(QStringLiteral("KIVOInterval")), QStringLiteral("-1"));
  EXPECT_FALSE(pairs.contains(QStringLiteral("dangling")));
}

TEST(LaunchArguments, AreReadFirstAndNeverWritten) {
  auto stored = std::make_unique<MemoryPreferences>();
  stored->setBool(QStringLiteral("privacyMask"), true);
  stored->setString(QStringLiteral("appearance"), QStringLiteral("dark"));
  MemoryPreferences* base = stored.get();
  LaunchArgumentPreferences prefs(
      {QStringLiteral("app"), QStringLiteral("-privacyMask"), QStringLiteral("no")}, std::move(stored));
  EXPECT_FALSE(prefs.boolean(QStringLiteral("privacyMask")));
  EXPECT_EQ(prefs.string(QStringLiteral("appearance")), QStringLiteral("dark"));
  prefs.setBool(QStringLiteral("privacyMask"), true);
  EXPECT_FALSE(prefs.boolean(QStringLiteral("privacyMask")));
  EXPECT_EQ(base->object(QStringLiteral("privacyMask")), QVariant(true));
  EXPECT_EQ(prefs.keys(), (QStringList{QStringLiteral("appearance"), QStringLiteral("privacyMask")}));
}

}  // namespace
}  // namespace kivo
