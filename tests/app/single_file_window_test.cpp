// The window around one Inform view: Ctrl+S saves, failures are reported and lose nothing,
// missing and unreadable files, the status panes and closing with unsaved changes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
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
    SetTorvaneMessageBoxHandler([this](const QString& text, unsigned buttons) {
      messages.push_back(text);
      (void)buttons;
      return answer;
    });
  }
  void TearDown() override {
    window.reset();
    SetTorvaneMessageBoxHandler({});
  }

  void Open(const QString& path) {
    window = std::make_unique<CSingleFileWindow>();
    window->OpenFile(path);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    window->View()->setFocus();
    QApplication::processEvents();
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->View(), key, modifiers);
  }
  void Type(const char* text) { QTest::keyClicks(window->View(), QString::fromLatin1(text)); }
  std::string Text() {
    CCrystalTextBuffer& b = window->Buffer();
    const int last = b.LineCount() - 1;
    return b.GetText(0, 0, last, b.LineLength(last), "\n");
  }

  QTemporaryDir dir;
  std::unique_ptr<CSingleFileWindow> window;
  std::vector<QString> messages;
  int answer = IDOK;
};

TEST_F(Window, CtrlSWritesTheFileAndClearsTheModifiedMark) {
  const QString path = dir.filePath("game.inf");
  ASSERT_TRUE(apptest::WriteFile(path, "Constant Story \"X\";\r\n"));
  Open(path);
  EXPECT_EQ(window->windowTitle(), "game.inf - Torvane");
  Type("! ");
  EXPECT_TRUE(window->Buffer().IsModified());
  EXPECT_EQ(window->windowTitle(), "game.inf* - Torvane");

  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(apptest::ReadFile(path), "! Constant Story \"X\";\r\n");
  EXPECT_FALSE(window->Buffer().IsModified());
  EXPECT_EQ(window->windowTitle(), "game.inf - Torvane");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Window, AFailedSaveIsReportedAndTheTextSurvives) {
  QDir sub(dir.filePath("gone"));
  ASSERT_TRUE(sub.mkpath("."));
  const QString path = sub.filePath("game.inf");
  ASSERT_TRUE(apptest::WriteFile(path, "x\r\n"));
  Open(path);
  Type("keep me ");
  ASSERT_TRUE(sub.removeRecursively()); // nowhere left to write

  Press(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("Cannot save ")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("game.inf"));
  EXPECT_EQ(Text(), "keep me x\n");
  EXPECT_TRUE(window->Buffer().IsModified());
  EXPECT_EQ(window->windowTitle(), "game.inf* - Torvane");

  // Once the folder is back, the same key saves the kept text.
  ASSERT_TRUE(sub.mkpath("."));
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(apptest::ReadFile(path), "keep me x\r\n");
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Window, AMissingFileOpensEmptyAndIsCreatedBySave) {
  const QString path = dir.filePath("new.inf");
  Open(path);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].contains("does not exist"));
  EXPECT_FALSE(window->Buffer().IsReadOnly());
  Type("Include \"Parser\";");
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(apptest::ReadFile(path), "Include \"Parser\";");
}

TEST_F(Window, AnUnreadableFileIsNeverSavedOver) {
  // A folder exists but cannot be read as a text (root may read any file).
  const QString path = dir.filePath("folder.inf");
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.inf"));
  Open(path);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].startsWith("Cannot open ")) << messages[0].toStdString();
  EXPECT_TRUE(window->Buffer().IsReadOnly());
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_READ), "Read");
  Type("typed");
  EXPECT_EQ(Text(), "");

  Press(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[1].contains("not saved over"));
  EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(Window, StatusPanesFollowTheCaretTheModeAndTheText) {
  const QString path = dir.filePath("panes.inf");
  ASSERT_TRUE(apptest::WriteFile(path, "\tabc\r\nline two\r\n"));
  Open(path);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_POSITION), "Ln 1, Col 1");
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_CRLF), "DOS");
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_OVR), "");
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_READ), "");
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_COL), "");

  Press(Qt::Key_Right);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_POSITION), "Ln 1, Col 2"); // characters, not columns
  Press(Qt::Key_Down);
  Press(Qt::Key_End);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_POSITION), "Ln 2, Col 9");
  Press(Qt::Key_Return);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_POSITION), "Ln 3, Col 1");

  Press(Qt::Key_Insert);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_OVR), "OVR");
  Press(Qt::Key_Insert);
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_OVR), "");
  EXPECT_EQ(window->PaneText(Cmd::INDICATOR_COL), "");
}

TEST_F(Window, ClosingWithUnsavedChangesAsksFirst) {
  const QString path = dir.filePath("close.inf");
  ASSERT_TRUE(apptest::WriteFile(path, "a\r\n"));
  Open(path);
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
  Open(path);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(messages.empty());
  Open(path);
  Type("zzz");
  answer = IDNO;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(apptest::ReadFile(path), "ba\r\n");
}

} // namespace
