// Saving: styles, the safe replace through a temporary file, permissions, owner and group,
// symbolic links, backups, and failures that tell why and leave the old file as it was.
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

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

bool IsLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool HasTemporaryFiles(const TempDir& dir) {
  for (const std::string& name : dir.Entries())
    if (name.starts_with("CRE")) return true;
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

TEST_F(SaveTest, WritesTheBuffersStyleOrOneGivenForThisSaveOnlyWithTheUsualPermissions) {
  const mode_t mask = umask(022);
  const std::tuple<const char*, LineEndStyle, const char*> rows[] = {
      {"game.inf", LineEndStyle::Automatic, SAVED},
      {"mac.inf", LineEndStyle::Mac, "new old\ntext\n"},
      {"unix.inf", LineEndStyle::Unix, "new old\n\rtext\n\r"},
  };
  for (auto [name, style, bytes] : rows) {
    ASSERT_TRUE(buffer.Save(dir.File(name), style));
    EXPECT_EQ(ReadFile(dir.File(name)), bytes);
  }
  umask(mask);
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
  EXPECT_FALSE(buffer.IsModified());
  EXPECT_EQ(dir.Entries(), (Strings{"game.inf", "mac.inf", "unix.inf"})); // no backup, no temporary
  EXPECT_EQ(StatOf(dir.File("mac.inf")).st_mode & 07777, 0644u);       // new: as open(2) makes it
  for (mode_t mode : {0600, 0640, 0755, 0604}) {                        // old: kept
    chmod(target.c_str(), mode);
    ASSERT_TRUE(buffer.Save(target));
    EXPECT_EQ(StatOf(target).st_mode & 07777, mode);
  }
}

TEST_F(SaveTest, TheOldOwnerAndGroupAreKeptAsFarAsTheSaverMay) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make files of other users";
  // Another user's file in a group that the saver belongs to: the saver may not give the file
  // back to its owner, but may give it its group, which the others in it need.
  ASSERT_EQ(chown(target.c_str(), 4242, 4343), 0);
  chmod(target.c_str(), 0664);
  chmod(dir.Path().c_str(), 0777);
  ASSERT_TRUE(buffer.Save(target)); // root keeps both
  EXPECT_EQ(StatOf(target).st_uid, 4242u);
  EXPECT_EQ(StatOf(target).st_gid, 4343u);
  bool saved = false;
  RunAs(65534, 65534, {4343}, [&] { saved = buffer.Save(target); });
  ASSERT_TRUE(saved) << buffer.LastFileError().text;
  EXPECT_EQ(StatOf(target).st_uid, 65534u);
  EXPECT_EQ(StatOf(target).st_gid, 4343u);
  EXPECT_EQ(StatOf(target).st_mode & 07777, 0664u);
}

TEST_F(SaveTest, SavingThroughSymbolicLinksReplacesTheirTargetAndKeepsTheLinks) {
  TempDir other;
  WriteFile(other.File("real.inf"), "real old");
  ASSERT_EQ(symlink(other.File("real.inf").c_str(), dir.File("link.inf").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("link.inf")));
  EXPECT_TRUE(IsLink(dir.File("link.inf")));
  EXPECT_EQ(ReadFile(other.File("real.inf")), SAVED);
  EXPECT_FALSE(HasTemporaryFiles(dir) || HasTemporaryFiles(other));
  // A chain of relative links, and a dangling link, whose target is made.
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  WriteFile(dir.File("sub/real.inf"), "x");
  ASSERT_EQ(symlink("sub/real.inf", dir.File("one").c_str()), 0);
  ASSERT_EQ(symlink("one", dir.File("two").c_str()), 0);
  ASSERT_EQ(symlink("made.inf", dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("two")) && buffer.Save(dir.File("dangling")));
  EXPECT_EQ(ReadFile(dir.File("sub/real.inf")), SAVED);
  EXPECT_TRUE(IsLink(dir.File("one")) && IsLink(dir.File("two")) && IsLink(dir.File("dangling")));
  EXPECT_EQ(ReadFile(dir.File("made.inf")), SAVED);
}

TEST_F(SaveTest, BackupHoldsThePreviousText) {
  buffer.SetCreateBackup(true);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), "old\r\ntext\r\n");
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "newer ", el, ec);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), SAVED);
  EXPECT_EQ(ReadFile(target), "newer new old\r\ntext\r\n");
  EXPECT_FALSE(HasTemporaryFiles(dir));
}

TEST_F(SaveTest, FailuresTellWhyAndLeaveEverythingAsItWas) {
  struct Row {
    std::function<std::string()> setUp; // makes the trouble; the path to save to
    std::string reason;
  };
  const Row rows[] = {
      {[&] { mkdir(dir.File("folder").c_str(), 0755); return dir.File("folder"); }, "is a directory"},
      {[&] { symlink("folder", dir.File("l").c_str()); return dir.File("l"); }, "is a directory"},
      {[&] {
         symlink("b", dir.File("a").c_str());
         symlink("a", dir.File("b").c_str());
         return dir.File("a");
       }, "Too many levels of symbolic links"},
      {[&] { return dir.File("no/such/game.inf"); },
       "cannot create a file in '" + dir.Path() + "/no/such': No such file or directory"},
      {[&] { mkfifo(dir.File("fifo").c_str(), 0644); return dir.File("fifo"); }, "is not a regular file"},
      {[&] { chmod(dir.Path().c_str(), 0555); return target; },
       "cannot create a file in '" + dir.Path() + "': Permission denied"},
      {[&] { chmod(target.c_str(), 0444); return target; }, "Permission denied"},
      {[&] {
         buffer.SetCreateBackup(true);
         mkdir((target + ".bak").c_str(), 0755);
         WriteFile(target + ".bak/inside", "keeps the directory non-empty");
         return target;
       }, "cannot make the backup '" + dir.Path() + "/game.inf.bak': Is a directory"},
  };
  chmod(dir.Path().c_str(), 0777);
  chmod(target.c_str(), 0666);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason);
    const std::string path = row.setUp();
    const mode_t mode = StatOf(target).st_mode;
    bool saved = true;
    RunAsOrdinaryUser([&] { saved = buffer.Save(path); }); // root would write anywhere
    EXPECT_FALSE(saved);
    EXPECT_EQ(buffer.LastFileError().text, row.reason);
    EXPECT_NE(buffer.LastFileError().code, 0);
    chmod(dir.Path().c_str(), 0777);
    EXPECT_EQ(StatOf(target).st_mode, mode);
    chmod(target.c_str(), 0666);
    ExpectNothingChanged();
  }
  // A file size limit makes write() fail (EFBIG) after 1 KiB: a short write on the way.
  buffer.SetCreateBackup(false);
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, std::string(1 << 16, 'w'), el, ec));
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit limited = old;
  limited.rlim_cur = 1024;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool saved = buffer.Save(target);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(buffer.LastFileError().code, EFBIG);
  EXPECT_EQ(buffer.LastFileError().text, "File too large");
  ExpectNothingChanged();
  CCrystalTextBuffer uninitialised; // nothing loaded or created: nothing written
  EXPECT_FALSE(uninitialised.Save(dir.File("x")));
  EXPECT_EQ(uninitialised.LastFileError().text, "there is no text to save");
  EXPECT_NE(access(dir.File("x").c_str(), F_OK), 0);
}

} // namespace
