// Saving: styles, the safe replace through a temporary file, permissions, symbolic links,
// backups, and failures that must leave the old file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

const char* const SAVED = "new old\r\ntext\r\n";

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

bool IsLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool HasTemporaryFiles(const TempDir& dir) {
  for (const std::string& name : dir.Entries())
    if (name.rfind("CRE", 0) == 0) return true;
  return false;
}

// game.inf loaded and edited, not yet saved.
class SaveTest : public ::testing::Test {
protected:
  void SetUp() override {
    target = dir.File("game.inf");
    WriteFile(target, "old\r\ntext\r\n");
    ASSERT_TRUE(buffer.Load(target));
    int el, ec;
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, "new ", el, ec));
  }
  // After a failed save: the old file as it was, no temporary file, the buffer still modified.
  void ExpectNothingChanged() {
    EXPECT_EQ(ReadFile(target), "old\r\ntext\r\n");
    EXPECT_FALSE(HasTemporaryFiles(dir));
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(buffer.SavedPosition(), 0);
  }
  TempDir dir;
  std::string target;
  CCrystalTextBuffer buffer;
};

TEST_F(SaveTest, WritesTheBuffersStyleOrOneGivenForThisSaveOnly) {
  const std::tuple<const char*, LineEndStyle, const char*> rows[] = {
      {"game.inf", LineEndStyle::Automatic, SAVED},
      {"mac.inf", LineEndStyle::Mac, "new old\ntext\n"},
      {"unix.inf", LineEndStyle::Unix, "new old\n\rtext\n\r"},
  };
  for (auto [name, style, bytes] : rows) {
    ASSERT_TRUE(buffer.Save(dir.File(name), style));
    EXPECT_EQ(ReadFile(dir.File(name)), bytes);
  }
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_FALSE(buffer.IsModified());
  EXPECT_EQ(dir.Entries(), (Strings{"game.inf", "mac.inf", "unix.inf"})); // no backup, no temporary
}

TEST_F(SaveTest, NewFilesGetTheUsualPermissionsAndOldOnesKeepTheirs) {
  mode_t mask = umask(022);
  ASSERT_TRUE(buffer.Save(dir.File("fresh.inf")));
  umask(mask);
  EXPECT_EQ(ModeOf(dir.File("fresh.inf")), 0644u);
  for (mode_t mode : {0600, 0640, 0755, 0604}) {
    chmod(target.c_str(), mode);
    ASSERT_TRUE(buffer.Save(target));
    EXPECT_EQ(ModeOf(target), mode);
  }
}

TEST_F(SaveTest, SavingThroughSymbolicLinksReplacesTheirTargetAndKeepsTheLinks) {
  TempDir other;
  WriteFile(other.File("real.inf"), "real old");
  ASSERT_EQ(symlink(other.File("real.inf").c_str(), dir.File("link.inf").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("link.inf")));
  EXPECT_TRUE(IsLink(dir.File("link.inf")));
  EXPECT_EQ(ReadFile(other.File("real.inf")), SAVED);
  EXPECT_FALSE(HasTemporaryFiles(dir) || HasTemporaryFiles(other));
  // A chain of relative links.
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  WriteFile(dir.File("sub/real.inf"), "x");
  ASSERT_EQ(symlink("sub/real.inf", dir.File("one").c_str()), 0);
  ASSERT_EQ(symlink("one", dir.File("two").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("two")));
  EXPECT_EQ(ReadFile(dir.File("sub/real.inf")), SAVED);
  EXPECT_TRUE(IsLink(dir.File("one")) && IsLink(dir.File("two")));
  // A dangling link: its target is created.
  ASSERT_EQ(symlink("made.inf", dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("dangling")));
  EXPECT_EQ(ReadFile(dir.File("made.inf")), SAVED);
}

TEST_F(SaveTest, BackupHoldsThePreviousText) {
  buffer.SetCreateBackup(true);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), "old\r\ntext\r\n");
  EXPECT_EQ(ReadFile(target), SAVED);
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "newer ", el, ec);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), SAVED);
  EXPECT_EQ(ReadFile(target), "newer new old\r\ntext\r\n");
  EXPECT_FALSE(HasTemporaryFiles(dir));
}

TEST_F(SaveTest, FailuresReturnFalseWithTheReasonAndLeaveEverythingAsItWas) {
  struct Row {
    const char* what;
    std::function<std::string()> setUp; // the path to save to
    const char* reason;                 // of the buffer's LastFileError (after the path)
  };
  const Row rows[] = {
      {"a directory", [&] { mkdir(dir.File("folder").c_str(), 0755); return dir.File("folder"); },
       "is a directory"},
      {"a link to a directory", [&] { symlink("folder", dir.File("l").c_str()); return dir.File("l"); },
       "is a directory"},
      {"a link loop", [&] {
         symlink("b", dir.File("a").c_str());
         symlink("a", dir.File("b").c_str());
         return dir.File("a");
       }, "Too many levels of symbolic links"},
      {"a missing directory", [&] { return dir.File("no/such/game.inf"); }, "|/no/such': No such file or directory"},
      {"a fifo", [&] { mkfifo(dir.File("fifo").c_str(), 0644); return dir.File("fifo"); },
       "is not a regular file"},
      {"a read-only directory", [&] { chmod(dir.Path().c_str(), 0555); return target; }, "|': Permission denied"},
      {"a read-only file", [&] { chmod(target.c_str(), 0444); return target; }, "Permission denied"},
      {"a backup that cannot be made", [&] {
         buffer.SetCreateBackup(true);
         mkdir((target + ".bak").c_str(), 0755);
         WriteFile(target + ".bak/inside", "keeps the directory non-empty");
         return target;
       }, "|game.inf.bak': Is a directory"},
  };
  chmod(dir.Path().c_str(), 0777);
  chmod(target.c_str(), 0666);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = row.setUp();
    const mode_t mode = ModeOf(target);
    bool saved = true;
    RunAsOrdinaryUser([&] { saved = buffer.Save(path); });
    EXPECT_FALSE(saved);
    // '|' stands for the start of a text naming the folder or the backup.
    const std::string reason = buffer.LastFileError().text;
    if (row.reason[0] == '|') {
      EXPECT_TRUE(reason.starts_with("cannot ")) << reason;
      EXPECT_TRUE(reason.ends_with(row.reason + 1)) << reason;
    } else {
      EXPECT_EQ(reason, row.reason);
    }
    EXPECT_NE(buffer.LastFileError().code, 0);
    chmod(dir.Path().c_str(), 0777);
    EXPECT_EQ(ModeOf(target), mode);
    chmod(target.c_str(), 0666);
    ExpectNothingChanged();
  }
  CCrystalTextBuffer uninitialised; // nothing loaded or created: nothing written
  EXPECT_FALSE(uninitialised.Save(dir.File("x")));
  EXPECT_EQ(uninitialised.LastFileError().text, "there is no text to save");
  EXPECT_FALSE(FileExists(dir.File("x")));
}

TEST_F(SaveTest, TheOldOwnerAndGroupAreKeptAsFarAsTheSaverMay) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make files of other users";
  // Another user's file in a group that the saver belongs to: the saver may not give the file
  // back to its owner, but may give it its group, which the others in it need.
  ASSERT_EQ(chown(target.c_str(), 4242, 4343), 0);
  chmod(target.c_str(), 0664);
  chmod(dir.Path().c_str(), 0777);
  ASSERT_TRUE(buffer.Save(target)); // root keeps both
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4242u);
  EXPECT_EQ(st.st_gid, 4343u);
  bool saved = false;
  RunAs(65534, 65534, {4343}, [&] { saved = buffer.Save(target); });
  ASSERT_TRUE(saved) << buffer.LastFileError().text;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 4343u);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
}

TEST_F(SaveTest, WriteFailingPartWayLeavesTheOldFile) {
  // A file size limit makes write() fail (EFBIG) after 1 KiB: a short write on the way.
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, std::string(1 << 16, 'w'), el, ec));
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit limited = old;
  limited.rlim_cur = 1024;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  bool saved = buffer.Save(target);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(buffer.LastFileError().code, EFBIG);
  EXPECT_EQ(buffer.LastFileError().text, "File too large");
  ExpectNothingChanged();
}

} // namespace
