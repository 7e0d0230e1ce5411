// Saving: styles, the safe replace through a temporary file, permissions, symbolic links,
// backups, and failures that must leave the old file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "buffer_test_support.h"

namespace {

using Strings = std::vector<std::string>;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

bool HasTemporaryFiles(const TempDir& dir) {
  for (const std::string& name : dir.Entries())
    if (name.rfind("CRE", 0) == 0) return true;
  return false;
}

class SaveTest : public ::testing::Test {
protected:
  void SetUp() override {
    target = dir.File("game.inf");
    WriteFile(target, "old\r\ntext\r\n");
    ASSERT_TRUE(buffer.Load(target));
    int el, ec;
    ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, "new ", el, ec));
  }
  TempDir dir;
  std::string target;
  CCrystalTextBuffer buffer;
};

// ---------------------------------------------------------------------------------------
// What is written

TEST_F(SaveTest, WritesTheLinesInTheBuffersStyle) {
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target), "new old\r\ntext\r\n");
  EXPECT_FALSE(buffer.IsModified());
  EXPECT_FALSE(HasTemporaryFiles(dir));
  EXPECT_EQ(dir.Entries(), (Strings{"game.inf"})); // no backup unless asked for
}

TEST_F(SaveTest, AnotherStyleIsUsedForThisSaveOnly) {
  ASSERT_TRUE(buffer.Save(dir.File("mac.inf"), LineEndStyle::Mac));
  EXPECT_EQ(ReadFile(dir.File("mac.inf")), "new old\ntext\n");
  ASSERT_TRUE(buffer.Save(dir.File("unix.inf"), LineEndStyle::Unix));
  EXPECT_EQ(ReadFile(dir.File("unix.inf")), "new old\n\rtext\n\r");
  EXPECT_EQ(buffer.GetLineEndStyle(), LineEndStyle::Dos);
}

TEST_F(SaveTest, NewFileGetsTheUsualPermissions) {
  mode_t mask = umask(022);
  ASSERT_TRUE(buffer.Save(dir.File("fresh.inf")));
  umask(mask);
  EXPECT_EQ(ModeOf(dir.File("fresh.inf")), 0644u);
}

TEST_F(SaveTest, PermissionBitsAreKept) {
  for (mode_t mode : {0600, 0640, 0755, 0604}) {
    chmod(target.c_str(), mode);
    ASSERT_TRUE(buffer.Save(target));
    EXPECT_EQ(ModeOf(target), mode);
  }
}

TEST_F(SaveTest, SavingThroughASymbolicLinkReplacesItsTarget) {
  TempDir other;
  std::string real = other.File("real.inf");
  WriteFile(real, "real old");
  std::string link = dir.File("link.inf");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  ASSERT_TRUE(buffer.Save(link));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(real), "new old\r\ntext\r\n");
  EXPECT_FALSE(HasTemporaryFiles(dir));
  EXPECT_FALSE(HasTemporaryFiles(other));
}

TEST_F(SaveTest, RelativeLinkChainsAreFollowed) {
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  WriteFile(dir.File("sub/real.inf"), "x");
  ASSERT_EQ(symlink("sub/real.inf", dir.File("one").c_str()), 0);
  ASSERT_EQ(symlink("one", dir.File("two").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("two")));
  EXPECT_EQ(ReadFile(dir.File("sub/real.inf")), "new old\r\ntext\r\n");
  struct stat st;
  ASSERT_EQ(lstat(dir.File("one").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(SaveTest, DanglingLinkCreatesItsTarget) {
  ASSERT_EQ(symlink("made.inf", dir.File("dangling").c_str()), 0);
  ASSERT_TRUE(buffer.Save(dir.File("dangling")));
  EXPECT_EQ(ReadFile(dir.File("made.inf")), "new old\r\ntext\r\n");
}

TEST_F(SaveTest, LinkLoopFails) {
  ASSERT_EQ(symlink("b", dir.File("a").c_str()), 0);
  ASSERT_EQ(symlink("a", dir.File("b").c_str()), 0);
  EXPECT_FALSE(buffer.Save(dir.File("a")));
}

TEST_F(SaveTest, BackupHoldsThePreviousText) {
  buffer.SetCreateBackup(true);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), "old\r\ntext\r\n");
  EXPECT_EQ(ReadFile(target), "new old\r\ntext\r\n");
  int el, ec;
  buffer.InsertText(nullptr, 0, 0, "newer ", el, ec);
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), "new old\r\ntext\r\n");
  EXPECT_EQ(ReadFile(target), "newer new old\r\ntext\r\n");
  EXPECT_FALSE(HasTemporaryFiles(dir));
}

TEST(SaveUninitialised, RefusesToWriteAnything) {
  TempDir dir;
  CCrystalTextBuffer buffer;
  EXPECT_FALSE(buffer.Save(dir.File("x")));
  EXPECT_FALSE(FileExists(dir.File("x")));
}

// ---------------------------------------------------------------------------------------
// Failures: false, the old file untouched, no temporary file left, buffer state unchanged

class SaveFailure : public SaveTest {
protected:
  void ExpectNothingChanged() {
    EXPECT_EQ(ReadFile(target), "old\r\ntext\r\n");
    EXPECT_FALSE(HasTemporaryFiles(dir));
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(buffer.SavedPosition(), 0);
  }
};

TEST_F(SaveFailure, TargetIsADirectory) {
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  EXPECT_FALSE(buffer.Save(dir.File("folder")));
  EXPECT_TRUE(dir.Entries() == (Strings{"folder", "game.inf"}));
  ExpectNothingChanged();
}

TEST_F(SaveFailure, LinkToADirectory) {
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("folder", dir.File("l").c_str()), 0);
  EXPECT_FALSE(buffer.Save(dir.File("l")));
  ExpectNothingChanged();
}

TEST_F(SaveFailure, DirectoryDoesNotExist) {
  EXPECT_FALSE(buffer.Save(dir.File("no/such/dir/game.inf")));
  ExpectNothingChanged();
}

TEST_F(SaveFailure, DirectoryRemovedAfterLoading) {
  TempDir gone;
  std::string path = gone.File("game.inf");
  WriteFile(path, "x");
  CCrystalTextBuffer other;
  ASSERT_TRUE(other.Load(path));
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(rmdir(gone.Path().c_str()), 0);
  EXPECT_FALSE(other.Save(path));
  ExpectNothingChanged();
}

TEST_F(SaveFailure, NotARegularFile) {
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  EXPECT_FALSE(buffer.Save(dir.File("fifo")));
  ExpectNothingChanged();
}

TEST_F(SaveFailure, ReadOnlyDirectory) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
  chmod(dir.Path().c_str(), 0555);
  EXPECT_FALSE(buffer.Save(target));
  chmod(dir.Path().c_str(), 0755);
  ExpectNothingChanged();
}

TEST_F(SaveFailure, ReadOnlyFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
  chmod(target.c_str(), 0444);
  EXPECT_FALSE(buffer.Save(target));
  ExpectNothingChanged();
  EXPECT_EQ(ModeOf(target), 0444u);
}

TEST_F(SaveFailure, WriteFailsPartWay) {
  // A file size limit makes write() fail (EFBIG) after 1 KiB: a short write on the way.
  std::string big(1 << 16, 'w');
  int el, ec;
  ASSERT_TRUE(buffer.InsertText(nullptr, 0, 0, big, el, ec));
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
  ExpectNothingChanged();
}

TEST_F(SaveFailure, BackupThatCannotBeMade) {
  buffer.SetCreateBackup(true);
  ASSERT_EQ(mkdir((target + ".bak").c_str(), 0755), 0);
  WriteFile(target + ".bak/inside", "keeps the directory non-empty");
  EXPECT_FALSE(buffer.Save(target));
  ExpectNothingChanged();
}

} // namespace
