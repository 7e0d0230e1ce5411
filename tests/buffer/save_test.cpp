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

  CCrystalTextBuffer uninitialised; // nothing loaded or created: nothing written
  EXPECT_FALSE(uninitialised.Save(dir.File("x")));
  EXPECT_FALSE(FileExists(dir.File("x")));
}

TEST_F(SaveTest, FailuresReturnFalseAndLeaveEverythingAsItWas) {
  struct Row {
    const char* what;
    bool rootSkips; // root ignores permissions
    std::function<std::string()> setUp; // the path to save to
  };
  const Row rows[] = {
      {"a directory", false, [&] { mkdir(dir.File("folder").c_str(), 0755); return dir.File("folder"); }},
      {"a link to a directory", false, [&] { symlink("folder", dir.File("l").c_str()); return dir.File("l"); }},
      {"a link loop", false, [&] {
         symlink("b", dir.File("a").c_str());
         symlink("a", dir.File("b").c_str());
         return dir.File("a");
       }},
      {"a missing directory", false, [&] { return dir.File("no/such/dir/game.inf"); }},
      {"a fifo", false, [&] { mkfifo(dir.File("fifo").c_str(), 0644); return dir.File("fifo"); }},
      {"a read-only directory", true, [&] { chmod(dir.Path().c_str(), 0555); return target; }},
      {"a read-only file", true, [&] { chmod(target.c_str(), 0444); return target; }},
      {"a backup that cannot be made", false, [&] {
         buffer.SetCreateBackup(true);
         mkdir((target + ".bak").c_str(), 0755);
         WriteFile(target + ".bak/inside", "keeps the directory non-empty");
         return target;
       }},
  };
  for (const Row& row : rows) {
    if (row.rootSkips && geteuid() == 0) continue;
    SCOPED_TRACE(row.what);
    const std::string path = row.setUp();
    const mode_t mode = ModeOf(target);
    EXPECT_FALSE(buffer.Save(path));
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(ModeOf(target), mode);
    chmod(target.c_str(), 0644);
    ExpectNothingChanged();
  }
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
  ExpectNothingChanged();
}

} // namespace
