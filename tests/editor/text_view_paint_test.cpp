// What the view paints: style colours of runs, the selection, highlighted lines, tabs and
// horizontal scrolling, and which lines a selection change repaints. (What text changes
// repaint is the repaint test's subject.)
#include <QApplication>
#include <QPaintEvent>
#include <gtest/gtest.h>

#include "view_test_support.h"

using namespace viewtest;

namespace {

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

class ViewPainting : public TextViewTest<> {
protected:
  void Show(std::string_view text) { Load(text, 400, 200, false); }
  QColor Style(int index) { return ColorFromRef(view.GetStyleColor(index)); }
  // The colour at the top-left corner of a cell: its background.
  QColor At(const QImage& image, TextPosition p) { return CellColour(view, image, p); }
  // The colour of a cell's glyph.
  QColor Ink(const QImage& image, TextPosition position) {
    return viewtest::Ink(view, image, position);
  }
  // Repaint regions while change runs and the events it posts are processed.
  template <typename F>
  QRegion Repainted(F change) {
    QApplication::processEvents();
    PaintRecorder recorder;
    Client()->installEventFilter(&recorder);
    change();
    QApplication::processEvents();
    Client()->removeEventFilter(&recorder);
    return recorder.painted;
  }
};

TEST_F(ViewPainting, RunsAreDrawnInTheirStyleColoursAndTabsAsBlankCells) {
  Show("abCDef\n\tX");
  const QImage image = Grab(view);
  const QColor blue = Style(UPPER_INDEX);
  EXPECT_TRUE(Near(Ink(image, {2, 0}), blue));
  EXPECT_TRUE(Near(Ink(image, {3, 0}), blue));
  EXPECT_TRUE(Near(Ink(image, {0, 0}), Style(COLORINDEX_NORMALTEXT)));
  EXPECT_FALSE(Near(Ink(image, {0, 0}), blue));
  EXPECT_EQ(At(image, {0, 0}), Style(COLORINDEX_BKGND));
  // A tab is blank cells up to the next stop: the X sits in column 4.
  const QPoint x = view.TextPosToPoint({1, 1});
  EXPECT_EQ(x.x(), CCrystalTextView::MARGIN_WIDTH + 4 * view.GetCharWidth());
  EXPECT_TRUE(Near(Ink(image, {1, 1}), blue));
  const QPoint tabCell(CCrystalTextView::MARGIN_WIDTH + view.GetCharWidth(), x.y());
  EXPECT_EQ(image.pixelColor(tabCell + QPoint(view.GetCharWidth() / 2, view.GetLineHeight() / 2)),
            Style(COLORINDEX_BKGND));
}

TEST_F(ViewPainting, ScrolledColumnsShiftTheTextButNotTheMargin) {
  Show("abCDef");
  view.ScrollToColumn(2, true);
  const QImage image = Grab(view);
  EXPECT_EQ(view.TextPosToPoint({2, 0}), QPoint(CCrystalTextView::MARGIN_WIDTH, 0));
  EXPECT_TRUE(Near(Ink(image, {2, 0}), Style(UPPER_INDEX)));
  EXPECT_EQ(image.pixelColor(QPoint(1, 1)), Style(COLORINDEX_SELMARGIN));
}

TEST_F(ViewPainting, TheSelectionHasItsOwnColoursAndShowsASelectedLineEndAsOneCell) {
  Show("abc\n\nxyz\nend");
  view.SetSelection({1, 0}, {0, 2});
  const QColor selBack = Style(COLORINDEX_SELBKGND);
  const QColor whitespace = Style(COLORINDEX_WHITESPACE);
  // Without focus and without the inactive-selection switch nothing is shown.
  EXPECT_NE(At(Grab(view), {1, 0}), selBack);
  view.SetShowInactiveSelection(true);
  const QImage image = Grab(view);
  EXPECT_NE(At(image, {0, 0}), selBack);
  EXPECT_EQ(At(image, {1, 0}), selBack);
  EXPECT_TRUE(Near(Ink(image, {1, 0}), Style(COLORINDEX_SELTEXT)));
  // The selected line end of line 0 is one cell, and so is the selected empty line; the
  // cells after them are whitespace. Nothing of line 2 is selected.
  EXPECT_EQ(At(image, {3, 0}), selBack);
  EXPECT_EQ(At(image, {4, 0}), whitespace);
  EXPECT_EQ(At(image, {0, 1}), selBack);
  EXPECT_EQ(At(image, {1, 1}), whitespace);
  EXPECT_NE(At(image, {0, 2}), selBack);
}

TEST_F(ViewPainting, HighlightedLinesFillTheirWholeRow) {
  Show("green\nred\nolive\nplain");
  const uint32_t flags[] = {LF_HIGHLIGHT1, LF_HIGHLIGHT2, LF_HIGHLIGHT3};
  for (int line = 0; line < 3; ++line) buffer->SetLineFlag(line, flags[line], true, false);
  const QImage image = Grab(view);
  const QColor expected[] = {QColor(0, 128, 0), QColor(255, 0, 0), QColor(128, 128, 0)};
  for (int line = 0; line < 3; ++line) {
    EXPECT_EQ(At(image, {0, line}), expected[line]) << line;
    EXPECT_EQ(At(image, {10, line}), expected[line]) << line;
    EXPECT_TRUE(Near(Ink(image, {1, line}), Qt::white)) << line;
  }
  EXPECT_EQ(At(image, {10, 3}), Style(COLORINDEX_WHITESPACE));
}

TEST_F(ViewPainting, WithoutABufferOneEmptyLineAndWhitespaceBelow) {
  ShowView(view, 300, 150, false);
  EXPECT_EQ(view.GetLineCount(), 1);
  const QImage image = Grab(view);
  const int lh = view.GetLineHeight();
  EXPECT_EQ(image.pixelColor(100, lh / 2), Style(COLORINDEX_WHITESPACE));
  EXPECT_EQ(image.pixelColor(100, 3 * lh), Style(COLORINDEX_WHITESPACE));
  EXPECT_EQ(image.pixelColor(5, 3 * lh), Style(COLORINDEX_SELMARGIN));
}

TEST_F(ViewPainting, ASelectionChangeRepaintsOnlyTheLinesItTouches) {
  Show(Lines(8) + "\n");
  view.SetShowInactiveSelection(true);
  const int lh = view.GetLineHeight();
  QRegion painted = Repainted([&] { view.SetSelection({0, 2}, {2, 3}); });
  // Covered, not merely touched: QRegion::contains(QRect) only asks for an overlap.
  EXPECT_TRUE((QRegion(25, 2 * lh, 10, 2 * lh) - painted).isEmpty());
  EXPECT_FALSE(painted.intersects(QRect(25, 5 * lh, 10, lh)));
  painted = Repainted([&] { view.SetSelection({0, 2}, {1, 5}); }); // same start, end moves down
  EXPECT_TRUE((QRegion(25, 3 * lh, 10, 3 * lh) - painted).isEmpty());
  EXPECT_FALSE(painted.intersects(QRect(25, 1, 10, lh - 2)));
}

} // namespace
