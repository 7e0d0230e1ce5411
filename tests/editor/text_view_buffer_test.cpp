// The view against its buffer: positions moved by edits from elsewhere, resets, the parse
// cookie and line length caches across edits, and the clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
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

TEST(ViewWithBuffer, AnEditThroughAnotherViewMovesCaretAndSelection) {
  auto buffer = MakeBuffer("alpha\nbeta\ngamma");
  CTestTextView editing, watching;
  editing.AttachBuffer(buffer.get());
  watching.AttachBuffer(buffer.get());
  watching.SetAnchor(TextPosition(1, 1));
  watching.SetSelection(TextPosition(1, 1), TextPosition(3, 2));
  watching.PlaceCursor(TextPosition(3, 2));

  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(&editing, 0, 0, "new\r\nfirst ", endLine, endChar));
  TextPosition s, e;
  watching.GetSelectionBounds(s, e);
  EXPECT_EQ(s, TextPosition(1, 2));
  EXPECT_EQ(e, TextPosition(3, 3));
  EXPECT_EQ(watching.GetCursorPosition(), TextPosition(3, 3));
  EXPECT_EQ(watching.GetAnchor(), TextPosition(1, 2));

  // Text put in before the cursor on its own line pushes it right.
  ASSERT_TRUE(buffer->InsertText(&editing, 3, 0, "ZZ", endLine, endChar));
  EXPECT_EQ(watching.GetCursorPosition(), TextPosition(5, 3));

  // Removing the lines that hold the selection start leaves every position on real text.
  ASSERT_TRUE(buffer->DeleteText(&editing, 1, 2, 3, 1));
  watching.GetSelectionBounds(s, e);
  EXPECT_EQ(s, TextPosition(2, 1));
  EXPECT_EQ(watching.GetCursorPosition(), TextPosition(6, 1));
  EXPECT_EQ(e, TextPosition(6, 1));
  EXPECT_EQ(BufferText(*buffer), "new\nfiZgamma");
  EXPECT_LE(watching.GetCursorPosition().x, buffer->LineLength(1));
}

TEST(ViewWithBuffer, DeletingTheCaretLineAndTheTopLineKeepsThemInsideTheText) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line\n";
  auto buffer = MakeBuffer(text);
  CTestTextView editing, watching;
  editing.AttachBuffer(buffer.get());
  watching.AttachBuffer(buffer.get());
  ShowView(watching, 300, 150, false);
  watching.ScrollToTopLine(50, true);
  watching.PlaceCursor(TextPosition(3, 55));
  watching.SetSelection(TextPosition(0, 52), TextPosition(3, 55));
  ASSERT_TRUE(buffer->DeleteText(&editing, 10, 0, 60, 0));
  EXPECT_EQ(buffer->LineCount(), 11);
  EXPECT_LT(watching.GetCursorPosition().y, 11);
  EXPECT_LE(watching.GetCursorPosition().x, buffer->LineLength(watching.GetCursorPosition().y));
  EXPECT_LT(watching.GetTopLine(), 11);
  TextPosition s, e;
  watching.GetSelectionBounds(s, e);
  EXPECT_LT(e.y, 11);
  // Painting and moving after the change must stay inside the text.
  (void)Grab(watching);
  QTest::keyClick(&watching, Qt::Key_Down);
  QTest::keyClick(&watching, Qt::Key_End);
  EXPECT_EQ(watching.GetCursorPosition(), TextPosition(0, 10));
}

TEST(ViewWithBuffer, ANewTextResetsScrollCursorAndSelection) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "some text\n";
  auto buffer = MakeBuffer(text);
  CTestTextView view;
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 150);
  view.ScrollToTopLine(40, true);
  view.PlaceCursor(TextPosition(4, 45));
  view.SetSelection(TextPosition(0, 44), TextPosition(4, 45));
  ASSERT_TRUE(buffer->CreateEmpty());
  EXPECT_EQ(view.GetTopLine(), 0);
  EXPECT_EQ(view.GetCursorPosition(), TextPosition(0, 0));
  EXPECT_FALSE(view.HasSelection());
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);
  EXPECT_FALSE(view.verticalScrollBar()->isEnabled());
}

TEST(ViewWithBuffer, EditsKeepTheCookiesAboveTheChangeAndRecolourFromIt) {
  auto buffer = MakeBuffer("a\nb\nc\nd\ne\nf");
  CTestTextView view;
  view.AttachBuffer(buffer.get());
  (void)view.GetLineCookie(5);
  view.ResetColourCalls();
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 3, 1, "x", endLine, endChar));
  (void)view.GetLineCookie(5);
  EXPECT_EQ(view.cookieCalls, (std::vector<int>{0, 0, 0, 1, 1, 1}));

  view.ResetColourCalls();
  ASSERT_TRUE(buffer->InsertText(nullptr, 1, 1, "\r\n\r\n", endLine, endChar));
  (void)view.GetLineCookie(7);
  EXPECT_EQ(view.cookieCalls, (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1}));

  // The cookie of a later line sees an opening brace above it, and its closing.
  ASSERT_TRUE(buffer->InsertText(nullptr, 0, 1, "{", endLine, endChar));
  EXPECT_EQ(view.GetLineCookie(7), 1u);
  ASSERT_TRUE(buffer->InsertText(nullptr, 4, 0, "}", endLine, endChar));
  EXPECT_EQ(view.GetLineCookie(3), 1u);
  EXPECT_EQ(view.GetLineCookie(7), 0u);
  // Deleting the closing line brings the open state back below it.
  ASSERT_TRUE(buffer->DeleteText(nullptr, 4, 0, 5, 0));
  EXPECT_EQ(view.GetLineCookie(5), 1u);
}

TEST(ViewWithBuffer, PaintingParsesOnlyTheLinesItDrawsAndThoseAbove) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "text\n";
  auto buffer = MakeBuffer(text);
  CTestTextView view;
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 150, false);
  (void)Grab(view);
  const int drawnRows = (view.viewport()->height() - 1) / view.GetLineHeight() + 1;
  EXPECT_LE(static_cast<int>(view.colourCalls.size()), drawnRows);
  view.ResetColourCalls();
  view.ScrollToTopLine(500, true);
  (void)Grab(view);
  (void)Grab(view);
  ASSERT_GE(view.cookieCalls.size(), 500u);
  // Lines drawn before kept their cookies from that paint; the rest above were parsed once.
  for (int line = 0; line < 500; ++line)
    ASSERT_EQ(view.cookieCalls[line], line < drawnRows ? 0 : 1) << line;
  EXPECT_LE(static_cast<int>(view.colourCalls.size()), 500 + drawnRows);
}

// Random edits, single- and multi-line, against lengths and cookies computed afresh.
TEST(ViewWithBuffer, CachedLengthsLongestLineAndCookiesMatchAFreshComputation) {
  auto buffer = MakeBuffer("short\n\tx\n{ open\nmiddle line here\n} close\nend");
  CTestTextView view, fresh;
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 200, false);
  std::mt19937 random(1234);
  const char* pieces[] = {"a", "\t", "{", "}", "long words here", "\r\n", "x\r\ny\r\nz",
                          "\r\n\r\n\t\t"};
  for (int step = 0; step < 300; ++step) {
    const int count = buffer->LineCount();
    const int line = static_cast<int>(random() % count);
    const int pos = static_cast<int>(random() % (buffer->LineLength(line) + 1));
    if (random() % 3 != 0 || count < 3) {
      int endLine = 0, endChar = 0;
      const char* piece = pieces[random() % std::size(pieces)];
      ASSERT_TRUE(buffer->InsertText(nullptr, line, pos, piece, endLine, endChar));
    } else {
      const int endLine = std::min(count - 1, line + static_cast<int>(random() % 3));
      const int endPos = endLine == line
                             ? pos + static_cast<int>(random() % (buffer->LineLength(line) - pos + 1))
                             : static_cast<int>(random() % (buffer->LineLength(endLine) + 1));
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
  const int visibleColumns = view.GetVisibleColumns();
  EXPECT_EQ(view.horizontalScrollBar()->maximum(),
            std::max(0, view.GetLongestLine() - std::max(1, visibleColumns)));
}

TEST(ViewWithBuffer, CopyPutsCrLfBetweenLinesWhateverTheFileStyle) {
  for (LineEndStyle style : {LineEndStyle::Dos, LineEndStyle::Unix, LineEndStyle::Mac}) {
    auto buffer = MakeBuffer("a\nb\nc", style);
    CTestTextView view;
    view.AttachBuffer(buffer.get());
    ShowView(view, 200, 100);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    CCmdUIState copy;
    ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::EDIT_COPY, copy));
    EXPECT_FALSE(copy.enabled);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    view.SetSelection(TextPosition(0, 0), TextPosition(1, 1));
    ASSERT_TRUE(view.OnUpdateCmdUI(Cmd::EDIT_COPY, copy));
    EXPECT_TRUE(copy.enabled);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\r\nb"));
  }
}

TEST(ViewWithBuffer, ClipboardTextIsLatin1WithCrLfLineBreaks) {
  CTestTextView view;
  std::string text;
  EXPECT_FALSE(view.CopyToClipboard(""));
  ASSERT_TRUE(view.CopyToClipboard("caf\xE9\r\nna\xEFve"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromUtf8("caf\u00E9\r\nna\u00EFve"));
  EXPECT_TRUE(view.ClipboardHasText());
  QGuiApplication::clipboard()->setText(QString::fromUtf8("one\ntwo\rthree\r\n\u00E9"));
  ASSERT_TRUE(view.TakeFromClipboard(text));
  EXPECT_EQ(text, "one\r\ntwo\r\nthree\r\n\xE9");
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(view.TakeFromClipboard(text));
  EXPECT_FALSE(view.ClipboardHasText());
}

TEST(ViewWithBuffer, SelectAllKeepsAnchorAndScroll) {
  std::string text;
  for (int i = 0; i < 50; ++i) text += "words\n";
  auto buffer = MakeBuffer(text + "last");
  CTestTextView view;
  view.AttachBuffer(buffer.get());
  ShowView(view, 300, 150);
  view.PlaceCursor(TextPosition(2, 3));
  view.SetAnchor(TextPosition(2, 3));
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  TextPosition s, e;
  view.GetSelectionBounds(s, e);
  EXPECT_EQ(s, TextPosition(0, 0));
  EXPECT_EQ(e, TextPosition(4, 50));
  EXPECT_EQ(view.GetCursorPosition(), TextPosition(4, 50));
  EXPECT_EQ(view.GetAnchor(), TextPosition(2, 3));
  EXPECT_EQ(view.GetTopLine(), 0);
  std::string copied;
  view.GetTextRange(s, e, copied);
  EXPECT_EQ(copied.size(), 50u * 7u + 4u);
}

} // namespace
