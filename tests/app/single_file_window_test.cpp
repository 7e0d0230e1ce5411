// The window around one Inform view: Ctrl+S saves, failures are reported and lose nothing,
// missing and unreadable files, the status panes and closing with unsaved changes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "app_test_support.h"
#include "command_ids.h"
#include "message_box.h"
#include "single_file_window.h"
#include "torvane_view.h"

namespace {

class Window : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned) {
      messages.push_back(text);
      return answer;
    });
  }
  void TearDown() override {
    window.reset();
    SetTorvaneMessageBoxHandler({});
  }

  // Writes bytes to name in the temporary folder (unless bytes is null) and opens it.
  QString Open(const QString& name, const char* bytes) {
    const QString path = dir.filePath(name);
    if (bytes) {
      EXPECT_TRUE(apptest::WriteFile(path, bytes));
    }
    window = std::make_unique<CSingleFileWindow>();
    window->OpenFile(path);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    window->View()->setFocus();
    QApplication::processEvents();
    return path;
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->View(), key, modifiers);
  }
  void Save() { Press(Qt::Key_S, Qt::ControlModifier); }
  void Type(const char* text) { QTest::keyClicks(window->View(), QString::fromLatin1(text)); }
  std::string Text() {
    CCrystalTextBuffer& b = window->Buffer();
    return b.GetText(0, 0, b.LineCount() - 1, b.LineLength(b.LineCount() - 1), "\n");
  }
  QString Pane(int id) { return window->PaneText(id); }

  QTemporaryDir dir;
  std::unique_ptr<CSingleFileWindow> window;
  std::vector<QString> messages;
  int answer = IDOK;
};

TEST_F(Window, CtrlSSavesAndAFailedSaveIsReportedWithTheTextKept) {
  QDir sub(dir.filePath("gone"));
  ASSERT_TRUE(sub.mkpath("."));
  const QString path = Open("gone/game.inf", "x\r\n");
  EXPECT_EQ(window->windowTitle(), "game.inf - Torvane");
  Type("keep me ");
  ASSERT_TRUE(sub.removeRecursively()); // nowhere left to write
  Save();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("Cannot save ")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("game.inf"));
  EXPECT_EQ(Text(), "keep me x\n");
  EXPECT_TRUE(window->Buffer().IsModified());
  EXPECT_EQ(window->windowTitle(), "game.inf* - Torvane");
  // Once the folder is back, the same key saves the kept text and clears the mark.
  ASSERT_TRUE(sub.mkpath("."));
  Save();
  EXPECT_EQ(apptest::ReadFile(path), "keep me x\r\n");
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(window->Buffer().IsModified());
  EXPECT_EQ(window->windowTitle(), "game.inf - Torvane");
}

TEST_F(Window, AMissingFileOpensEmptyAndIsCreatedBySave) {
  const QString path = Open("new.inf", nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("does not exist"));
  EXPECT_FALSE(window->Buffer().IsReadOnly());
  Type("Include \"Parser\";");
  Save();
  EXPECT_EQ(apptest::ReadFile(path), "Include \"Parser\";");
}

TEST_F(Window, AnUnreadableFileIsNeverSavedOver) {
  // A folder exists but cannot be read as a text (root may read any file).
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.inf"));
  const QString path = Open("folder.inf", nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("Cannot open ")) << messages[0].toStdString();
  EXPECT_TRUE(window->Buffer().IsReadOnly());
  EXPECT_EQ(Pane(Cmd::INDICATOR_READ), "Read");
  Type("typed");
  EXPECT_EQ(Text(), "");
  Save();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[1].contains("not saved over"));
  EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(Window, StatusPanesFollowTheCaretTheModeAndTheText) {
  Open("panes.inf", "\tabc\r\nline two\r\n");
  EXPECT_EQ(Pane(Cmd::INDICATOR_POSITION), "Ln 1, Col 1");
  EXPECT_EQ(Pane(Cmd::INDICATOR_CRLF), "DOS");
  for (int id : {Cmd::INDICATOR_OVR, Cmd::INDICATOR_READ, Cmd::INDICATOR_COL})
    EXPECT_EQ(Pane(id), "") << id;
  const std::tuple<Qt::Key, int, const char*> steps[] = {
      {Qt::Key_Right, Cmd::INDICATOR_POSITION, "Ln 1, Col 2"}, // characters, not columns
      {Qt::Key_Down, 0, nullptr},
      {Qt::Key_End, Cmd::INDICATOR_POSITION, "Ln 2, Col 9"},
      {Qt::Key_Return, Cmd::INDICATOR_POSITION, "Ln 3, Col 1"},
      {Qt::Key_Insert, Cmd::INDICATOR_OVR, "OVR"},
      {Qt::Key_Insert, Cmd::INDICATOR_OVR, ""},
  };
  for (const auto& [key, pane, text] : steps) {
    Press(key);
    if (pane != 0) {
      EXPECT_EQ(Pane(pane), text) << "pane " << pane;
    }
  }
}

TEST_F(Window, ClosingWithUnsavedChangesAsksFirst) {
  const QString path = Open("close.inf", "a\r\n");
  Type("b");
  answer = IDCANCEL;
  EXPECT_FALSE(window->close());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Save changes to close.inf?");
  EXPECT_TRUE(window->isVisible());
  answer = IDYES;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(apptest::ReadFile(path), "ba\r\n");

  // Unchanged text closes without a question; No closes and leaves the file alone.
  messages.clear();
  Open("close.inf", nullptr);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(messages.empty());
  Open("close.inf", nullptr);
  Type("zzz");
  answer = IDNO;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(apptest::ReadFile(path), "ba\r\n");
}

} // namespace
