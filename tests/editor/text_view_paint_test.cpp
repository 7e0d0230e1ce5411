// What the view paints: style colours of runs, the selection, highlighted lines, margin
// icons, tabs and horizontal scrolling, and which lines a change repaints.
#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "view_test_support.h"

using namespace viewtest;

namespace {

QColor Ref(COLORREF colour) { return ColorFromRef(colour); }

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

// The pixel of a cell farthest from the cell's background: the colour of its glyph.
QColor Ink(CCrystalTextView& view, const QImage& image, TextPosition position) {
  const QPoint corner = view.TextPosToPoint(position);
  const QColor background = image.pixelColor(corner);
  QColor ink = background;
  for (int y = 0; y < view.GetLineHeight(); ++y) {
    for (int x = 0; x < view.GetCharWidth(); ++x) {
      const QColor c = image.pixelColor(corner + QPoint(x, y));
      if (Distance(c, background) > Distance(ink, background)) ink = c;
    }
  }
  return ink;
}

bool Near(const QColor& a, const QColor& b) { return Distance(a, b) < 120; }

// Records the regions the view is asked to repaint.
class PaintRecorder : public QObject {
public:
  QRegion painted;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return QObject::eventFilter(watched, event);
  }
};

class ViewPainting : public ::testing::Test {
protected:
  void Load(std::string_view text, bool focus = false) {
    buffer = MakeBuffer(text);
    view.AttachBuffer(buffer.get());
    ShowView(view, 400, 200, focus);
  }
  std::unique_ptr<CCrystalTextBuffer> buffer;
  CTestTextView view;
};

TEST_F(ViewPainting, RunsAreDrawnInTheirStyleColours) {
  Load("abCDef\n\tX");
  const QImage image = Grab(view);
  const QColor blue = Ref(view.GetStyleColor(UPPER_INDEX));
  const QColor text = Ref(view.GetStyleColor(COLORINDEX_NORMALTEXT));
  const QColor background = Ref(view.GetStyleColor(COLORINDEX_BKGND));
  EXPECT_TRUE(Near(Ink(view, image, {2, 0}), blue));
  EXPECT_TRUE(Near(Ink(view, image, {3, 0}), blue));
  EXPECT_TRUE(Near(Ink(view, image, {0, 0}), text));
  EXPECT_FALSE(Near(Ink(view, image, {0, 0}), blue));
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({0, 0})), background);
  // A tab is blank cells up to the next stop: the X sits in column 4.
  const QPoint x = view.TextPosToPoint({1, 1});
  EXPECT_EQ(x.x(), CCrystalTextView::MARGIN_WIDTH + 4 * view.GetCharWidth());
  EXPECT_TRUE(Near(Ink(view, image, {1, 1}), blue));
  const QPoint tabCell(CCrystalTextView::MARGIN_WIDTH + view.GetCharWidth(), x.y());
  EXPECT_EQ(image.pixelColor(tabCell + QPoint(view.GetCharWidth() / 2, view.GetLineHeight() / 2)),
            background);
}

TEST_F(ViewPainting, ScrolledColumnsShiftTheText) {
  Load("abCDef");
  view.ScrollToColumn(2, true);
  const QImage image = Grab(view);
  const QPoint first(CCrystalTextView::MARGIN_WIDTH, 0);
  EXPECT_EQ(view.TextPosToPoint({2, 0}), first);
  EXPECT_TRUE(Near(Ink(view, image, {2, 0}), Ref(view.GetStyleColor(UPPER_INDEX))));
  // The margin is not scrolled over by text.
  EXPECT_EQ(image.pixelColor(QPoint(1, 1)), Ref(view.GetStyleColor(COLORINDEX_SELMARGIN)));
}

TEST_F(ViewPainting, TheSelectionHasItsOwnColoursAndShowsASelectedLineEndAsOneCell) {
  Load("abc\n\nxyz\nend");
  view.SetSelection(TextPosition(1, 0), TextPosition(0, 2));
  const QColor selBack = Ref(view.GetStyleColor(COLORINDEX_SELBKGND));
  const QColor selText = Ref(view.GetStyleColor(COLORINDEX_SELTEXT));
  const QColor whitespace = Ref(view.GetStyleColor(COLORINDEX_WHITESPACE));

  // Without focus and without the inactive-selection switch nothing is shown.
  QImage image = Grab(view);
  EXPECT_NE(image.pixelColor(view.TextPosToPoint({1, 0})), selBack);

  view.SetShowInactiveSelection(true);
  image = Grab(view);
  EXPECT_NE(image.pixelColor(view.TextPosToPoint({0, 0})), selBack);
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({1, 0})), selBack);
  EXPECT_TRUE(Near(Ink(view, image, {1, 0}), selText));
  // The selected line end of line 0 is one cell; the cell after it is whitespace.
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({3, 0})), selBack);
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({4, 0})), whitespace);
  // The selected empty line shows one cell at its left edge.
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({0, 1})), selBack);
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({1, 1})), whitespace);
  // The selection ends at the start of line 2: nothing of line 2 is selected.
  EXPECT_NE(image.pixelColor(view.TextPosToPoint({0, 2})), selBack);
}

TEST_F(ViewPainting, HighlightedLinesFillTheirWholeRow) {
  Load("green\nred\nolive\nplain");
  buffer->SetLineFlag(0, LF_HIGHLIGHT1, true, false);
  buffer->SetLineFlag(1, LF_HIGHLIGHT2, true, false);
  buffer->SetLineFlag(2, LF_HIGHLIGHT3, true, false);
  const QImage image = Grab(view);
  const QColor expected[] = {QColor(0, 128, 0), QColor(255, 0, 0), QColor(128, 128, 0)};
  for (int line = 0; line < 3; ++line) {
    EXPECT_EQ(image.pixelColor(view.TextPosToPoint({0, line})), expected[line]) << line;
    EXPECT_EQ(image.pixelColor(view.TextPosToPoint({10, line})), expected[line]) << line;
    EXPECT_TRUE(Near(Ink(view, image, {1, line}), Qt::white)) << line;
  }
  EXPECT_EQ(image.pixelColor(view.TextPosToPoint({10, 3})),
            Ref(view.GetStyleColor(COLORINDEX_WHITESPACE)));
}

TEST_F(ViewPainting, MarginShowsBookmarkIconsButNotForHighlight3) {
  Load("one\ntwo\nthree");
  buffer->SetLineFlag(0, LF_BOOKMARK, true, false);
  buffer->SetLineFlag(2, LF_HIGHLIGHT3, true, false);
  const QImage image = Grab(view);
  const QColor margin = Ref(view.GetStyleColor(COLORINDEX_SELMARGIN));
  auto marginPainted = [&](int line) {
    const int top = line * view.GetLineHeight();
    for (int y = top; y < top + view.GetLineHeight(); ++y)
      for (int x = 0; x < CCrystalTextView::MARGIN_WIDTH; ++x)
        if (image.pixelColor(x, y) != margin) return true;
    return false;
  };
  EXPECT_TRUE(marginPainted(0));
  EXPECT_FALSE(marginPainted(1));
  EXPECT_FALSE(marginPainted(2));
}

TEST_F(ViewPainting, WithoutABufferOneEmptyLineAndWhitespaceBelow) {
  ShowView(view, 300, 150, false);
  EXPECT_EQ(view.GetLineCount(), 1);
  const QImage image = Grab(view);
  const QColor whitespace = Ref(view.GetStyleColor(COLORINDEX_WHITESPACE));
  EXPECT_EQ(image.pixelColor(100, view.GetLineHeight() / 2), whitespace);
  EXPECT_EQ(image.pixelColor(100, 3 * view.GetLineHeight()), whitespace);
  EXPECT_EQ(image.pixelColor(5, 3 * view.GetLineHeight()),
            Ref(view.GetStyleColor(COLORINDEX_SELMARGIN)));
}

TEST_F(ViewPainting, AChangeOnOneLineRepaintsTheLinesBelowIt) {
  Load("top\nabc\nBBB\nCCC");
  QApplication::processEvents();
  QImage image = Grab(view);
  const QColor blue = Ref(view.GetStyleColor(UPPER_INDEX));
  const QColor grey = Ref(view.GetStyleColor(COMMENT_INDEX));
  ASSERT_TRUE(Near(Ink(view, image, {0, 3}), blue));

  PaintRecorder recorder;
  view.viewport()->installEventFilter(&recorder);
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 1, 1, "{", endLine, endChar));
  QApplication::processEvents();
  view.viewport()->removeEventFilter(&recorder);
  const int lh = view.GetLineHeight();
  EXPECT_TRUE(recorder.painted.contains(QRect(30, 3 * lh + 1, 10, lh - 2)));
  EXPECT_FALSE(recorder.painted.intersects(QRect(30, 1, 10, lh - 2)));
  image = Grab(view);
  EXPECT_TRUE(Near(Ink(view, image, {0, 3}), grey));
  EXPECT_FALSE(Near(Ink(view, image, {0, 3}), blue));
}

TEST_F(ViewPainting, ASelectionChangeRepaintsOnlyTheLinesItTouches) {
  std::string text;
  for (int i = 0; i < 8; ++i) text += "line\n";
  Load(text);
  view.SetShowInactiveSelection(true);
  QApplication::processEvents();
  PaintRecorder recorder;
  view.viewport()->installEventFilter(&recorder);
  view.SetSelection(TextPosition(0, 2), TextPosition(2, 3));
  QApplication::processEvents();
  const int lh = view.GetLineHeight();
  EXPECT_TRUE(recorder.painted.contains(QRect(25, 2 * lh, 10, 2 * lh)));
  EXPECT_FALSE(recorder.painted.intersects(QRect(25, 5 * lh, 10, lh)));
  recorder.painted = QRegion();
  view.SetSelection(TextPosition(0, 2), TextPosition(1, 5)); // same start, end moves down
  QApplication::processEvents();
  view.viewport()->removeEventFilter(&recorder);
  EXPECT_TRUE(recorder.painted.contains(QRect(25, 3 * lh, 10, 3 * lh)));
  EXPECT_FALSE(recorder.painted.intersects(QRect(25, 1, 10, lh - 2)));
}

} // namespace
