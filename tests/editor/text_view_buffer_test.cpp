// The view against its buffer: positions moved by edits from elsewhere, resets, the line
// caches following real edits, and the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <algorithm>
#include <random>

#include "command_ids.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

int BruteExpandedLength(const CCrystalTextBuffer& buffer, int line) {
  int column = 0;
  const char* chars = buffer.LineChars(line);
  for (int i = 0; i < buffer.LineLength(line); ++i)
    column = chars[i] == '\t' ? column + 4 - column % 4 : column + 1;
  return column;
}

void Insert(CCrystalTextBuffer& buffer, CCrystalTextView* source, int line, int pos,
            const std::string& text) {
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer.InsertText(source, line, pos, text, endLine, endChar));
}

class ViewWithBuffer : public TextViewTest<> {};

TEST_F(ViewWithBuffer, AnEditThroughAnotherViewMovesCaretAndSelection) {
  buffer = MakeBuffer("alpha\nbeta\ngamma");
  CTestTextView editing;
  editing.AttachBuffer(buffer.get());
  view.AttachBuffer(buffer.get());
  Select(view, {1, 1}, {3, 2});
  Insert(*buffer, &editing, 0, 0, "new\r\nfirst ");
  EXPECT_EQ(Sel(), Span({1, 2}, {3, 3}));
  EXPECT_EQ(Cursor(), TextPosition(3, 3));
  EXPECT_EQ(view.GetAnchor(), TextPosition(1, 2));
  // Text put in before the cursor on its own line pushes it right.
  Insert(*buffer, &editing, 3, 0, "ZZ");
  EXPECT_EQ(Cursor(), TextPosition(5, 3));
  // Removing the lines that hold the selection start leaves every position on real text.
  ASSERT_TRUE(buffer->DeleteText(&editing, 1, 2, 3, 1));
  EXPECT_EQ(BufferText(*buffer), "new\nfiZgamma");
  EXPECT_EQ(Sel(), Span({2, 1}, {6, 1}));
  EXPECT_EQ(Cursor(), TextPosition(6, 1));
}

TEST_F(ViewWithBuffer, DeletingTheCaretLineAndTheTopLineKeepsThemInsideTheText) {
  Load(Lines(60) + "\n", 300, 150, false);
  view.ScrollToTopLine(50, true);
  Select(view, {0, 52}, {3, 55});
  ASSERT_TRUE(buffer->DeleteText(nullptr, 10, 0, 60, 0));
  ASSERT_EQ(buffer->LineCount(), 11);
  EXPECT_LT(Cursor().y, 11);
  EXPECT_LE(Cursor().x, buffer->LineLength(Cursor().y));
  EXPECT_LT(view.GetTopLine(), 11);
  EXPECT_LT(Sel().second.y, 11);
  // Painting and moving after the change must stay inside the text.
  (void)Grab(view);
  Key(Qt::Key_Down);
  Key(Qt::Key_End);
  EXPECT_EQ(Cursor(), TextPosition(0, 10));
}

TEST_F(ViewWithBuffer, ANewTextResetsScrollCursorAndSelection) {
  Load(Lines(80, "some text"), 300, 150);
  view.ScrollToTopLine(40, true);
  Select(view, {0, 44}, {4, 45});
  ASSERT_TRUE(buffer->CreateEmpty());
  EXPECT_EQ(view.GetTopLine(), 0);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);
  EXPECT_FALSE(view.verticalScrollBar()->isEnabled());
}

TEST_F(ViewWithBuffer, AViewOutlivingItsBufferShowsNoTextAndCanTakeAnother) {
  Load(Lines(80, "some text"), 300, 150);
  view.ScrollToTopLine(40, true);
  Select(view, {0, 44}, {4, 45});
  buffer.reset(); // the document goes first
  EXPECT_EQ(view.GetBuffer(), nullptr);
  EXPECT_EQ(view.GetLineCount(), 1);
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  EXPECT_FALSE(Grab(view).isNull());
  buffer = MakeBuffer("again");
  view.AttachBuffer(buffer.get());
  EXPECT_EQ(view.GetLineLength(0), 5);
}

// Random edits, single- and multi-line, against lengths and cookies computed afresh.
TEST_F(ViewWithBuffer, CachedLengthsLongestLineAndCookiesMatchAFreshComputation) {
  Load("short\n\tx\n{ open\nmiddle line here\n} close\nend", 300, 200, false);
  CTestTextView fresh;
  std::mt19937 random(1234);
  const char* pieces[] = {"a", "\t", "{", "}", "long words here", "\r\n", "x\r\ny\r\nz",
                          "\r\n\r\n\t\t"};
  for (int step = 0; step < 300; ++step) {
    const int count = buffer->LineCount();
    const int line = static_cast<int>(random() % count);
    const int pos = static_cast<int>(random() % (buffer->LineLength(line) + 1));
    if (random() % 3 != 0 || count < 3) {
      Insert(*buffer, nullptr, line, pos, pieces[random() % std::size(pieces)]);
    } else {
      const int endLine = std::min(count - 1, line + static_cast<int>(random() % 3));
      const int from = endLine == line ? pos : 0;
      const int endPos =
          from + static_cast<int>(random() % (buffer->LineLength(endLine) - from + 1));
      ASSERT_TRUE(buffer->DeleteText(nullptr, line, pos, endLine, endPos));
    }
    if (step % 7 == 0) (void)Grab(view);
    int longest = 0;
    for (int i = 0; i < buffer->LineCount(); ++i) {
      const int expected = BruteExpandedLength(*buffer, i);
      longest = std::max(longest, expected);
      ASSERT_EQ(view.GetExpandedLineLength(i), expected) << "step " << step << " line " << i;
    }
    ASSERT_EQ(view.GetLongestLine(), longest) << "step " << step;
    fresh.AttachBuffer(buffer.get());
    for (int i = buffer->LineCount() - 1; i >= 0; i -= 3)
      ASSERT_EQ(view.GetLineCookie(i), fresh.GetLineCookie(i)) << "step " << step;
    fresh.DetachBuffer();
  }
  EXPECT_EQ(view.horizontalScrollBar()->maximum(),
            std::max(0, view.GetLongestLine() - std::max(1, view.GetVisibleColumns())));
}

TEST_F(ViewWithBuffer, CopyPutsLatin1WithLfBetweenLinesWhateverTheFileStyle) {
  QClipboard* board = QGuiApplication::clipboard();
  for (LineEndStyle style : {LineEndStyle::Dos, LineEndStyle::Unix, LineEndStyle::Mac}) {
    Load("a\nb\xE9\nc", 200, 100, true, style);
    board->setText(QStringLiteral("before"));
    CCmdUIState copy;
    ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::EDIT_COPY, copy));
    EXPECT_FALSE(copy.enabled);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(board->text(), QStringLiteral("before"));
    view.SetSelection({0, 0}, {2, 1});
    ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::EDIT_COPY, copy));
    EXPECT_TRUE(copy.enabled);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(board->text(), QString::fromUtf8("a\nb\u00E9"));
  }
  // Text from the clipboard gets CR LF for every kind of line break.
  std::string text;
  EXPECT_FALSE(view.CopyToClipboard(""));
  board->setText(QString::fromUtf8("one\ntwo\rthree\r\n\u00E9"));
  EXPECT_TRUE(view.ClipboardHasText());
  ASSERT_TRUE(view.TakeFromClipboard(text));
  EXPECT_EQ(text, "one\r\ntwo\r\nthree\r\n\xE9");
  board->clear();
  EXPECT_FALSE(view.TakeFromClipboard(text));
  EXPECT_FALSE(view.ClipboardHasText());
}

TEST_F(ViewWithBuffer, SelectAllKeepsAnchorAndScroll) {
  Load(Lines(50, "words") + "\nlast", 300, 150);
  Place({2, 3});
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Sel(), Span({0, 0}, {4, 50}));
  EXPECT_EQ(Cursor(), TextPosition(4, 50));
  EXPECT_EQ(view.GetAnchor(), TextPosition(2, 3));
  EXPECT_EQ(view.GetTopLine(), 0);
  std::string copied;
  view.GetTextRange(Sel().first, Sel().second, copied);
  EXPECT_EQ(copied.size(), 50u * 7u + 4u);
}

} // namespace
