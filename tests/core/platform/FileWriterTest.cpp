#include "platform/FileWriter.h"

#include "WriteFailures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace kivo {
namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Sets the umask for one test and puts the old one back.
class Umask {
 public:
  explicit Umask(mode_t mask) : saved_(::umask(mask)) {}
  ~Umask() { ::umask(saved_); }

 private:
  mode_t saved_;
};

TEST(FileWriter, EveryFailureKeepsTheOldFileLeavesNothingAndNamesThePathAndReason) {
  for (const bool replacing : {true, false}) {
    for (const auto& failure : test::writeFailures()) {
      SCOPED_TRACE(std::string(failure.name) + (replacing ? ", replacing" : ", new file"));
      QTemporaryDir dir;
      const QString path = dir.filePath(QStringLiteral("out.csv"));
      if (replacing) {
        ASSERT_EQ(FileWriter::write(path, "old contents\n"), std::nullopt);
      }
      const QStringList before = test::folderState(dir.path());
      std::optional<QString> error;
      {
        const auto armed = test::arm(failure);
        error = FileWriter::write(path, QByteArray(64 * 1024, 'x'));
      }
      ASSERT_TRUE(error.has_value());
      EXPECT_TRUE(error->contains(path)) << error->toStdString();
      EXPECT_TRUE(error->endsWith(FileWriter::reason(failure.error))) << error->toStdString();
      EXPECT_EQ(test::folderState(dir.path()), before);
      // The next write is not haunted by the failure.
      EXPECT_EQ(FileWriter::write(path, "new\n"), std::nullopt);
      EXPECT_EQ(readAll(path), "new\n");
    }
  }
}

TEST(FileWriter, ReasonsArePlainSentences) {
  EXPECT_EQ(FileWriter::reason(ENOSPC), "The disk is full.");
  EXPECT_EQ(FileWriter::reason(EDQUOT), "The disk is full.");
  EXPECT_EQ(FileWriter::reason(EROFS), "The disk is read-only.");
  for (const int error : {EFBIG, EACCES, EIO, ENOENT, EXDEV, 0}) {
    const QString text = FileWriter::reason(error);
    EXPECT_TRUE(text.endsWith(u'.') && text.front().isUpper()) << text.toStdString();
  }
}

TEST(FileWriter, PlacesThatCannotHoldTheFileAreRefusedWithoutCreatingAnything) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(QStringLiteral("missing/out.csv"));
  const struct {
    QString path;
    const char* reason;
  } cases[] = {
      {missing, "The folder does not exist."},
      {dir.path(), "It is a folder."},
      {QString(), "No file name was given."},
  };
  for (const auto& c : cases) {
    const auto error = FileWriter::write(c.path, "x");
    ASSERT_TRUE(error.has_value()) << c.path.toStdString();
    EXPECT_TRUE(error->endsWith(QLatin1String(c.reason))) << error->toStdString();
  }
  EXPECT_TRUE(test::folderState(dir.path()).isEmpty());
}

TEST(FileWriter, ModesFollowTheCallerThenTheOldFileThenTheUmask) {
  QTemporaryDir dir;
  const Umask open(0);
  const QString settings = dir.filePath(QStringLiteral("settings.json"));
  ASSERT_EQ(FileWriter::write(settings, "{}", FileWriter::kPrivate), std::nullopt);
  EXPECT_EQ(modeOf(settings), 0600u);

  const QString exported = dir.filePath(QStringLiteral("report.md"));
  {
    const Umask usual(022);
    ASSERT_EQ(FileWriter::write(exported, "a"), std::nullopt);
    EXPECT_EQ(modeOf(exported), 0644u);
  }
  ASSERT_TRUE(QFile::setPermissions(
      exported, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
  ASSERT_EQ(FileWriter::write(exported, "b"), std::nullopt);
  EXPECT_EQ(modeOf(exported), 0640u);
  // A private file becomes private again even if someone opened it up.
  ASSERT_TRUE(QFile::setPermissions(settings, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther | QFileDevice::WriteOther));
  ASSERT_EQ(FileWriter::write(settings, "{}", FileWriter::kPrivate), std::nullopt);
  EXPECT_EQ(modeOf(settings), 0600u);
}

TEST(FileWriter, ALinkIsFollowedToTheFileItNames) {
  QTemporaryDir dir;
  const QString real = dir.filePath(QStringLiteral("real.json"));
  const QString link = dir.filePath(QStringLiteral("link.json"));
  ASSERT_EQ(FileWriter::write(real, "old"), std::nullopt);
  ASSERT_TRUE(QFile::link(real, link));
  ASSERT_EQ(FileWriter::write(link, "new"), std::nullopt);
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(readAll(real), "new");
}

TEST(FileWriter, LinksInSharedFoldersAreFollowedAsTheKernelWouldFollowThem) {
  constexpr uid_t root = 0, me = 1000, other = 1001;
  const struct {
    const char* name;
    uid_t link, folder;
    mode_t folderMode;
    uid_t follower;
    bool follows;
  } cases[] = {
      {"a folder only its owner writes", other, me, 0755, me, true},
      {"sticky, not writable by everyone", other, root, 01775, me, true},
      {"writable by everyone, not sticky", other, root, 0777, me, true},
      {"shared: the follower's own link", me, root, 01777, me, true},
      {"shared: the folder owner's link", root, root, 01777, me, true},
      {"shared: a third user's link", other, root, 01777, me, false},
      {"shared: a third user's link, followed by root", other, me, 01777, root, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileWriter::mayFollowLink(c.link, c.folder, c.folderMode, c.follower), c.follows) << c.name;
  }
}

TEST(FileWriter, LinksOfOurOwnInASharedFolderAreFollowedStepByStep) {
  QTemporaryDir dir;
  const QString shared = dir.filePath(QStringLiteral("shared"));
  const QString real = dir.filePath(QStringLiteral("home/report.csv"));
  ASSERT_TRUE(QDir().mkpath(shared) && QDir().mkpath(dir.filePath(QStringLiteral("home"))));
  ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
  ASSERT_EQ(FileWriter::write(real, "old"), std::nullopt);
  // A chain: a link to a link in another folder, then a relative link up and across.
  ASSERT_TRUE(QFile::link(QStringLiteral("../home/report.csv"), dir.filePath(QStringLiteral("home/hop"))));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("home/hop")), shared + QStringLiteral("/out.csv")));
  ASSERT_EQ(FileWriter::write(shared + QStringLiteral("/out.csv"), "new"), std::nullopt);
  EXPECT_EQ(readAll(real), "new");
  EXPECT_TRUE(QFileInfo(shared + QStringLiteral("/out.csv")).isSymLink());
}

// Only root can give a link another owner; the rule itself is covered above for everyone.
TEST(FileWriter, AnotherUsersLinkInASharedFolderIsRefusedAndNamed) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a link another owner needs root";
  QTemporaryDir dir;
  const QString shared = dir.filePath(QStringLiteral("shared"));
  const QString victim = dir.filePath(QStringLiteral("home/.profile"));
  ASSERT_TRUE(QDir().mkpath(shared) && QDir().mkpath(dir.filePath(QStringLiteral("home"))));
  ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
  ASSERT_EQ(FileWriter::write(victim, "mine"), std::nullopt);
  const struct {
    const char* name;
    QString link, pointsTo, written;
  } cases[] = {
      {"the file itself", shared + QStringLiteral("/out.csv"), victim, shared + QStringLiteral("/out.csv")},
      {"a folder on the way", shared + QStringLiteral("/dir"), dir.filePath(QStringLiteral("home")),
       shared + QStringLiteral("/dir/.profile")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(QFile::link(c.pointsTo, c.link));
    ASSERT_EQ(::lchown(QFile::encodeName(c.link).constData(), 4242, 4242), 0);
    const QStringList before = test::folderState(dir.filePath(QStringLiteral("home")));
    const auto error = FileWriter::write(c.written, "planted");
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(QStringLiteral("“%1”").arg(c.link))) << error->toStdString();
    EXPECT_EQ(readAll(victim), "mine");
    EXPECT_EQ(test::folderState(dir.filePath(QStringLiteral("home"))), before);
  }
}

TEST(FileWriter, FoldersAreCreatedWithTheModeWhateverTheUmask) {
  QTemporaryDir dir;
  const Umask open(0);
  const QString folder = dir.filePath(QStringLiteral("config/kivo-monitor"));
  ASSERT_EQ(FileWriter::makeFolder(folder), std::nullopt);
  EXPECT_EQ(modeOf(folder), 0700u);
  EXPECT_EQ(modeOf(dir.filePath(QStringLiteral("config"))), 0700u);
  // An existing folder is left as it is.
  ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ExeGroup));
  EXPECT_EQ(FileWriter::makeFolder(folder), std::nullopt);
  EXPECT_EQ(modeOf(folder), 0750u);

  ASSERT_EQ(FileWriter::write(dir.filePath(QStringLiteral("plain")), "x"), std::nullopt);
  const auto error = FileWriter::makeFolder(dir.filePath(QStringLiteral("plain/below")));
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(error->contains(dir.filePath(QStringLiteral("plain")))) << error->toStdString();
}

}  // namespace
}  // namespace kivo
