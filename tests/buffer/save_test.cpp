// Saving: styles, the safe replace, permissions, owners, links, backups, failures and why.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>

#include "buffer_test_support.h"

namespace {

using std::filesystem::is_symlink;

const char* const SAVED = "new old\r\ntext\r\n";

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

bool HasTemporaryFiles(const TempDir& dir) {
  return std::ranges::any_of(std::filesystem::directory_iterator(dir.Path()),
                             [](const auto& entry) { return entry.path().filename().string().starts_with("CRE"); });
}

class SaveTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteFile(target, "old\r\ntext\r\n");
    ASSERT_TRUE(buffer.Load(target));
    ASSERT_TRUE(Insert(buffer, 0, 0, "new "));
  }
  void ExpectNothingChanged() {
    EXPECT_EQ(ReadFile(target), "old\r\ntext\r\n");
    EXPECT_FALSE(HasTemporaryFiles(dir));
    EXPECT_TRUE(buffer.IsModified() && buffer.SavedPosition() == 0);
  }
  TempDir dir;
  const std::string target = dir.File("game.inf");
  CTextBuffer buffer;
};

TEST_F(SaveTest, WritesTheBuffersStyleOrOneGivenForThisSaveOnlyWithTheUsualPermissionsAndBackups) {
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
  EXPECT_FALSE(buffer.GetLineEndStyle() != LineEndStyle::Dos || buffer.IsModified());
  EXPECT_FALSE(std::filesystem::exists(target + ".bak") || HasTemporaryFiles(dir));
  EXPECT_EQ(StatOf(dir.File("mac.inf")).st_mode & 07777, 0644u);       // new: as open(2) makes it
  for (mode_t mode : {0600, 0640, 0755, 0604}) {                        // old: kept
    chmod(target.c_str(), mode);
    ASSERT_TRUE(buffer.Save(target));
    EXPECT_EQ(StatOf(target).st_mode & 07777, mode);
  }
  buffer.SetCreateBackup(true);
  ASSERT_TRUE(Insert(buffer, 0, 0, "newer "));
  ASSERT_TRUE(buffer.Save(target));
  EXPECT_EQ(ReadFile(target + ".bak"), SAVED);
  EXPECT_EQ(ReadFile(target), "newer new old\r\ntext\r\n");
  EXPECT_FALSE(HasTemporaryFiles(dir));
}

TEST_F(SaveTest, TheOldOwnerAndGroupAreKeptAsFarAsTheSaverMay) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make files of other users";
  ASSERT_EQ(chown(target.c_str(), 4242, 4343), 0);
  chmod(target.c_str(), 0664);
  chmod(dir.Path().c_str(), 0777);
  ASSERT_TRUE(buffer.Save(target)); // root keeps both
  EXPECT_EQ(std::pair(StatOf(target).st_uid, StatOf(target).st_gid), std::pair(4242u, 4343u));
  bool saved = false;
  RunAs(65534, 65534, {4343}, [&] { saved = buffer.Save(target); });
  ASSERT_TRUE(saved) << buffer.LastFileError().text;
  EXPECT_EQ(std::pair(StatOf(target).st_uid, StatOf(target).st_gid), std::pair(65534u, 4343u));
  EXPECT_EQ(StatOf(target).st_mode & 07777, 0664u);
}

TEST_F(SaveTest, SavingThroughSymbolicLinksReplacesTheirTargetAndKeepsTheLinks) {
  TempDir other; // an absolute link to a relative one, which is read from its own folder
  WriteFile(other.File("real.inf"), "real old");
  ASSERT_EQ(symlink("real.inf", other.File("one").c_str()), 0);
  ASSERT_EQ(symlink(other.File("one").c_str(), dir.File("two").c_str()), 0);
  ASSERT_EQ(symlink("made.inf", dir.File("dangling").c_str()), 0); // its target is made
  ASSERT_TRUE(buffer.Save(dir.File("two")) && buffer.Save(dir.File("dangling")));
  EXPECT_TRUE(is_symlink(other.File("one")) && is_symlink(dir.File("two")) && is_symlink(dir.File("dangling")));
  EXPECT_EQ(ReadFile(other.File("real.inf")) + ReadFile(dir.File("made.inf")), std::string(SAVED) + SAVED);
  EXPECT_FALSE(HasTemporaryFiles(dir) || HasTemporaryFiles(other));
}

TEST_F(SaveTest, FailuresTellWhyAndLeaveEverythingAsItWas) {
  const std::pair<std::function<std::string()>, std::string> rows[] = {
      {[&] { mkdir(dir.File("folder").c_str(), 0755); return dir.File("folder"); }, "is a directory"},
      {[&] { symlink("folder", dir.File("l").c_str()); return dir.File("l"); }, "is a directory"},
      {[&] { symlink("b", dir.File("a").c_str()), symlink("a", dir.File("b").c_str()); return dir.File("a"); },
       "Too many levels of symbolic links"},
      {[&] { return dir.File("no/such/game.inf"); },
       "cannot create a file in '" + dir.Path() + "/no/such': No such file or directory"},
      {[&] { mkfifo(dir.File("fifo").c_str(), 0644); return dir.File("fifo"); }, "is not a regular file"},
      {[&] { chmod(dir.Path().c_str(), 0555); return target; },
       "cannot create a file in '" + dir.Path() + "': Permission denied"},
      {[&] { chmod(target.c_str(), 0444); return target; }, "Permission denied"},
      {[&] { // a backup name taken by a folder that is not empty
         buffer.SetCreateBackup(true), mkdir((target + ".bak").c_str(), 0755);
         return WriteFile(target + ".bak/inside", "x"), target;
       }, "cannot make the backup '" + dir.Path() + "/game.inf.bak': Is a directory"},
  };
  chmod(dir.Path().c_str(), 0777);
  chmod(target.c_str(), 0666);
  for (const auto& [setUp, reason] : rows) {
    SCOPED_TRACE(reason);
    const std::string path = setUp();
    const mode_t mode = StatOf(target).st_mode;
    bool saved = true;
    RunAsOrdinaryUser([&] { saved = buffer.Save(path); }); // root would write anywhere
    EXPECT_FALSE(saved);
    EXPECT_EQ(buffer.LastFileError().text, reason);
    EXPECT_NE(buffer.LastFileError().code, 0);
    chmod(dir.Path().c_str(), 0777);
    EXPECT_EQ(StatOf(target).st_mode, mode);
    chmod(target.c_str(), 0666);
    ExpectNothingChanged();
  }
  buffer.SetCreateBackup(false);
  ASSERT_TRUE(Insert(buffer, 0, 0, std::string(1 << 16, 'w')));
  struct rlimit old, limited;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  limited = {1024, old.rlim_max};
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool saved = buffer.Save(target);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saved);
  EXPECT_TRUE(buffer.LastFileError().code == EFBIG && buffer.LastFileError().text == "File too large");
  ExpectNothingChanged();
  CTextBuffer uninitialised; // nothing loaded or created: nothing written
  EXPECT_FALSE(uninitialised.Save(dir.File("x")) || std::filesystem::exists(dir.File("x")));
  EXPECT_EQ(uninitialised.LastFileError().text, "there is no text to save");
}

} // namespace
