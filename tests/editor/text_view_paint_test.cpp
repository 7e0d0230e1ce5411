// What the view paints, and what a change repaints.
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "colouring.h"
#include "edit_view.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}
bool Near(const QColor& a, const QColor& b) { return Distance(a, b) < 120; }

class PaintRecorder : public QObject {
public:
  explicit PaintRecorder(QWidget* target) : m_target(target) { target->installEventFilter(this); }
  ~PaintRecorder() override { m_target->removeEventFilter(this); }
  QRegion painted;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return QObject::eventFilter(watched, event);
  }

private:
  QWidget* m_target;
};

bool Covers(const QRegion& region, const QRect& rect) { return (QRegion(rect) - region).isEmpty(); }

class ViewPainting : public TextViewTest<> {
protected:
  void Show(std::string_view text) { Load(text, 400, 200, false); }
  QColor Style(int index) { return ColorFromRef(view.GetStyleColor(index)); }
  QColor At(const QImage& image, TextPosition p) { return image.pixelColor(view.TextPosToPoint(p)); }
  QColor Ink(const QImage& image, TextPosition p) {
    const QPoint corner = view.TextPosToPoint(p);
    QColor ink = image.pixelColor(corner);
    for (int y = 0; y < view.GetLineHeight(); ++y)
      for (int x = 0; x < view.GetCharWidth(); ++x)
        if (const QColor c = image.pixelColor(corner + QPoint(x, y));
            Distance(c, image.pixelColor(corner)) > Distance(ink, image.pixelColor(corner)))
          ink = c;
    return ink;
  }
};

TEST_F(ViewPainting, RunsAreDrawnInTheirStyleColoursAfterTabsAndScrolledSideways) {
  Show("abCDef\n\tX");
  const QImage image = Grab(view);
  const QColor blue = Style(UPPER_INDEX);
  EXPECT_TRUE(Near(Ink(image, {2, 0}), blue));
  EXPECT_TRUE(Near(Ink(image, {3, 0}), blue));
  EXPECT_TRUE(Near(Ink(image, {0, 0}), Qt::black)); // normal text: the palette's
  EXPECT_EQ(At(image, {0, 0}), Style(COLORINDEX_BKGND));
  EXPECT_EQ(view.TextPosToPoint({1, 1}).x(), CTextView::MARGIN_WIDTH + 4 * view.GetCharWidth());
  EXPECT_TRUE(Near(Ink(image, {1, 1}), blue));
  view.ScrollToColumn(2, true);
  const QImage scrolled = Grab(view);
  EXPECT_TRUE(Near(Ink(scrolled, {2, 0}), blue));
  EXPECT_EQ(scrolled.pixelColor(QPoint(1, 1)), Style(COLORINDEX_SELMARGIN));
  EXPECT_EQ(scrolled.pixelColor(QPoint(1, 5 * view.GetLineHeight())), Style(COLORINDEX_SELMARGIN)); // below the text
}

TEST_F(ViewPainting, TheSelectionHasItsOwnColoursAndShowsASelectedLineEndAsOneCell) {
  Show("abc\n\nxyz\nend");
  view.SetSelection({1, 0}, {0, 2});
  const QColor selBack = Style(COLORINDEX_SELBKGND);
  const QColor whitespace = Style(COLORINDEX_WHITESPACE);
  EXPECT_NE(At(Grab(view), {1, 0}), selBack);
  view.SetShowInactiveSelection(true);
  const QImage image = Grab(view);
  EXPECT_NE(At(image, {0, 0}), selBack);
  EXPECT_EQ(At(image, {1, 0}), selBack);
  EXPECT_TRUE(Near(Ink(image, {1, 0}), Style(COLORINDEX_SELTEXT)));
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
  const QColor expected[] = {QColor(0, 128, 0), QColor(255, 0, 0), QColor(128, 128, 0)};
  for (int pass = 0; pass < 2; ++pass) { // glyph by glyph, then from cell pictures
    const QImage image = Grab(view);
    for (int line = 0; line < 3; ++line) {
      EXPECT_EQ(At(image, {0, line}), expected[line]) << line;
      EXPECT_EQ(At(image, {10, line}), expected[line]) << line;
      EXPECT_TRUE(Near(Ink(image, {1, line}), Qt::white)) << line;
    }
    EXPECT_EQ(At(image, {10, 3}), Style(COLORINDEX_WHITESPACE));
    QApplication::processEvents();
  }
}

TEST_F(ViewPainting, ASelectionChangeRepaintsOnlyTheLinesItTouches) {
  Show(Lines(8) + "\n");
  view.SetShowInactiveSelection(true);
  const int lh = view.GetLineHeight();
  QApplication::processEvents();
  PaintRecorder recorder(Client());
  view.SetSelection({0, 2}, {2, 3});
  QApplication::processEvents();
  EXPECT_TRUE(Covers(recorder.painted, QRect(25, 2 * lh, 10, 2 * lh)));
  EXPECT_FALSE(recorder.painted.intersects(QRect(25, 5 * lh, 10, lh)));
  recorder.painted = QRegion();
  view.SetSelection({0, 2}, {1, 5}); // same start, end moves down
  QApplication::processEvents();
  EXPECT_TRUE(Covers(recorder.painted, QRect(25, 3 * lh, 10, 3 * lh)));
  EXPECT_FALSE(recorder.painted.intersects(QRect(25, 1, 10, lh - 2)));
}

// On a device of pixel ratio 2 a margin icon comes from the strip drawn at that size: it has
// detail finer than the 2 x 2 blocks of a blown-up 16-pixel icon. Back at ratio 1, the small
// strip again.
TEST_F(ViewPainting, MarginIconsAreDrawnAtTheDevicePixelRatio) {
  Load("a\nb");
  buffer->SetLineFlag(0, LF_NUMBERED_BOOKMARK(1), true);
  const auto fineBlocks = [&](qreal ratio) {
    QImage image(QSize(20, 32) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    view.PaintMargin(painter, QRect(0, 0, 20, 32), 0);
    painter.end();
    int fine = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
      for (int x = 0; x + 1 < image.width(); x += 2)
        fine += image.pixel(x, y) != image.pixel(x + 1, y) ||
                image.pixel(x, y) != image.pixel(x, y + 1);
    return fine;
  };
  EXPECT_GT(fineBlocks(2), 40);
  EXPECT_GT(fineBlocks(1), 0); // the small strip is drawn again
}

class CInformSpanView : public CEditView {
public:
  uint32_t ColourLine(uint32_t cookie, int lineIndex, StyleRun* runs, int& runCount) override {
    const char* text = GetLineText(lineIndex);
    return ::ColourLine(cookie, lineIndex, text ? text : "", text ? GetLineLength(lineIndex) : 0,
                        runs, runCount);
  }
  uint32_t ColourLineSpan(uint32_t cookie, int lineIndex, int from, int to, int32_t* colours,
                          bool wholeLine, ColourResumePoints* resume) override {
    const char* text = GetLineText(lineIndex);
    return ::ColourLineSpan(cookie, lineIndex, text ? text : "", text ? GetLineLength(lineIndex) : 0,
                            from, to, colours, wholeLine, m_scratch, resume);
  }

private:
  std::vector<uint8_t> m_scratch;
};

QRect Rows(CTextView& view, int firstRow, int lastRow) {
  const int lh = view.GetLineHeight();
  return QRect(0, firstRow * lh, view.viewport()->width(), (lastRow - firstRow + 1) * lh);
}

TEST(ChangeRepaint, ViewsRepaintBelowAChangeOnlyWhenItsEndCookieChangesOrLinesMove) {
  std::string routines; // more lines than the window shows
  for (int i = 0; i < 8; ++i) routines += "[ Main x y;\n  x = 1;\n  y = 2;\n  print x, y;\n  return x;\n];\n";
  auto buffer = MakeBuffer(routines + "! end");
  CInformSpanView view, lower;
  for (CInformSpanView* shown : {&view, &lower}) {
    shown->AttachBuffer(buffer.get());
    ShowView(*shown, 400, 300, false); // no caret to repaint; keys still arrive
  }
  const int rows = view.GetVisibleLines();
  ASSERT_GE(rows, 10);
  lower.ScrollToTopLine(20, true);
  QApplication::processEvents();
  PaintRecorder lowerPaints(lower.viewport());
  std::unique_ptr<PaintRecorder> recorder;
  const auto type = [&](TextPosition at, char c) {
    view.MoveCaretTo(at);
    QApplication::processEvents();
    recorder = std::make_unique<PaintRecorder>(view.viewport());
    QTest::keyClick(&view, c); // '\r' is Enter, '\b' Backspace
    QApplication::processEvents();
  };

  type({9, 3}, 'z'); // "print x, yz;"
  EXPECT_TRUE(recorder->painted.intersects(Rows(view, 3, 3)));
  EXPECT_FALSE(recorder->painted.intersects(Rows(view, 0, 2)));
  EXPECT_FALSE(recorder->painted.intersects(Rows(view, 4, rows - 1)));
  type({10, 3}, '\b'); // Backspace is a change inside one line too
  EXPECT_EQ(buffer->LineLength(3), 13);
  EXPECT_FALSE(recorder->painted.intersects(Rows(view, 4, rows - 1)));
  EXPECT_TRUE(lowerPaints.painted.isEmpty());

  type({2, 1}, '"'); // opens a string that runs on into the lines below
  EXPECT_TRUE(Covers(recorder->painted, Rows(view, 1, rows - 1)));
  EXPECT_FALSE(recorder->painted.intersects(Rows(view, 0, 0)));
  EXPECT_TRUE(Covers(lowerPaints.painted, Rows(lower, 0, lower.GetVisibleLines() - 1)));
  type({3, 1}, '"'); // closes it again
  EXPECT_TRUE(Covers(recorder->painted, Rows(view, 1, rows - 1)));
  lowerPaints.painted = QRegion();
  int endLine = 0, endChar = 0;
  ASSERT_TRUE(buffer->InsertText(nullptr, 22, 2, "\"", endLine, endChar));
  QApplication::processEvents();
  EXPECT_TRUE(Covers(lowerPaints.painted, Rows(lower, 2, lower.GetVisibleLines() - 1)));

  type({0, 2}, '\r');
  ASSERT_EQ(buffer->LineLength(2), 0);
  EXPECT_TRUE(Covers(recorder->painted, Rows(view, 2, rows - 1)));
}

TEST(ChangeRepaint, AfterAQuoteTheScreenShowsWhatAFreshViewPaints) {
  std::string text = "[ Wave_Ww;\n  x = \"AVA_W__ww\";\n\tprint x, \"__\"; ! WAV_\n";
  for (int i = 0; i < 20; ++i) text += "[ Main x;\n  x = 1;\n];\n";
  auto buffer = MakeBuffer(text);
  CInformSpanView view, fresh;
  view.AttachBuffer(buffer.get());
  ShowView(view, 400, 300, false);
  const QRect client(view.viewport()->mapTo(&view, QPoint()), view.viewport()->size());
  const auto typeAndLook = [&](TextPosition at, char c) {
    view.MoveCaretTo(at);
    QTest::keyClick(&view, c);
    QApplication::processEvents();
    const QPixmap window = QGuiApplication::primaryScreen()->grabWindow(view.winId());
    return window.toImage().copy(client).convertToFormat(QImage::Format_RGB32);
  };
  const QImage byGlyphs = typeAndLook({0, 1}, '"'); // no pictures yet of the recoloured rows
  typeAndLook({1, 1}, '\b');
  EXPECT_EQ(typeAndLook({0, 1}, '"'), byGlyphs); // now made of pictures
  fresh.AttachBuffer(buffer.get());
  ShowView(fresh, 400, 300, false);
  EXPECT_EQ(Grab(fresh).convertToFormat(QImage::Format_RGB32), byGlyphs);
}

class CFacesView : public CTextView {
public:
  uint32_t ColourLine(uint32_t, int lineIndex, StyleRun* runs, int& runCount) override {
    runCount = 1;
    if (runs) runs[0] = StyleRun{0, 10 + lineIndex};
    return 0;
  }
  bool IsStyleBold(int index) const override { return index == 11 || index == 13; }
  bool IsStyleItalic(int index) const override { return index == 12 || index == 13; }
  COLORREF GetStyleColor(int index) const override { // past the line ends: light yellow
    if (index == COLORINDEX_WHITESPACE) return RgbRef(255, 255, 192);
    return index >= 10 ? RgbRef(0, 0, 0) : RgbRef(255, 255, 255);
  }
  void TakeGlyphAway(int faceSlot, unsigned char byte) {
    GetCellFace(faceSlot)->fallback.set(byte);
  }
};

TEST(CellText, EveryByteIsDrawnInItsCellAsItsIso8859Character) {
  const std::string line = std::string("Aj{}\xE9\xFF\xC4\xDF@") + "\t" + "g\x01\x85_\xAD" + "X";
  auto buffer = MakeBuffer(Lines(4, line));
  CFacesView view;
  view.AttachBuffer(buffer.get());
  ShowView(view, 500, 200, false); // no caret in the picture
  QImage picture = Grab(view);
  QApplication::processEvents(); // draws the cells' pictures; the next paint is made of them
  EXPECT_EQ(Grab(view), picture);
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  for (int face = 0; face < 4; ++face) {
    QImage expected(picture.size(), picture.format());
    expected.fill(Qt::white);
    const int column = DrawLineAsText(view, line, face, expected);
    const QRect softHyphen(CTextView::MARGIN_WIDTH + 16 * cw, face * lh, cw, lh);
    QImage blank(softHyphen.size(), picture.format());
    blank.fill(Qt::white);
    EXPECT_NE(picture.copy(softHyphen), blank) << "face " << face;
    for (QImage* image : {&picture, &expected}) QPainter(image).fillRect(softHyphen, Qt::white);
    const QRect row(CTextView::MARGIN_WIDTH, face * lh, column * cw, lh);
    EXPECT_EQ(picture.copy(row), expected.copy(row)) << "face " << face;
  }
}

TEST(CellText, ARunDrawnAsTextForAMissingGlyphStaysOnTheGrid) {
  auto buffer = MakeBuffer("Aj{}\xE9\xFF@\tg_x\nbold line\nitalic\nboth");
  CFacesView glyphs, text;
  for (CFacesView* view : {&glyphs, &text}) {
    view->AttachBuffer(buffer.get());
    ShowView(*view, 500, 200, false);
  }
  for (int slot = 0; slot < 4; ++slot) text.TakeGlyphAway(slot, 'g');
  text.TakeGlyphAway(1, 'o');
  text.TakeGlyphAway(3, 't');
  for (int column : {0, 3}) {
    glyphs.ScrollToColumn(column, true);
    text.ScrollToColumn(column, true);
    ASSERT_EQ(text.GetFirstColumn(), column);
    EXPECT_EQ(Grab(glyphs), Grab(text)) << "first column " << column;
  }
}

} // namespace
