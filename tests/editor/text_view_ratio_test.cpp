// The view on a screen of two device pixels per pixel: rows made of cell pictures drawn at
// that ratio, the same pixels as glyphs drawn in place, the caret and selection on the grid.
#include <QApplication>
#include <QPainter>
#include <gtest/gtest.h>

#include "squiggle.h"
#include "view_test_support.h"

using namespace viewtest;

namespace {

// Every window of this program is on a screen of ratio 2: set before the application starts.
const bool kScaled = [] {
  qputenv("QT_SCALE_FACTOR", "2");
  return true;
}();

class CRatioView : public CTextView {
public:
  uint32_t ColourLine(uint32_t, int lineIndex, StyleRun* runs, int& runCount) override {
    runCount = 1;
    if (runs) runs[0] = StyleRun{0, 10 + lineIndex % 4};
    return 0;
  }
  bool IsStyleBold(int index) const override { return index == 11 || index == 13; }
  bool IsStyleItalic(int index) const override { return index == 12 || index == 13; }
  COLORREF GetStyleColor(int index) const override {
    if (index == COLORINDEX_WHITESPACE) return RgbRef(255, 255, 192);
    if (index == COLORINDEX_SELBKGND) return RgbRef(0, 0, 128);
    if (index == COLORINDEX_SELTEXT) return RgbRef(255, 255, 255);
    return index >= 10 ? RgbRef(0, 0, 0) : RgbRef(255, 255, 255);
  }
  using CTextView::CellPictures;
};

struct Shown {
  explicit Shown(std::string_view text, bool focus = false) : buffer(MakeBuffer(text)) {
    view.AttachBuffer(buffer.get());
    ShowView(view, 500, 200, focus);
  }
  std::unique_ptr<CTextBuffer> buffer;
  CRatioView view;
};

// Whether a device pixel differs from white.
bool Inked(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF; }

TEST(RatioTwo, RowsOfCellPicturesShowTheGlyphsAtTheDevicePixels) {
  ASSERT_TRUE(kScaled);
  const std::string line = std::string("Aj{}\xE9\xFF\xC4\xDF@") + "\t" + "gW_w" + "X";
  Shown shown(Lines(4, line));
  CRatioView& view = shown.view;
  ASSERT_EQ(view.viewport()->devicePixelRatioF(), 2.0);
  const QImage byGlyphs = Grab(view); // no pictures yet: drawn glyph by glyph
  ASSERT_EQ(byGlyphs.size(), view.viewport()->size() * 2);
  const uint64_t composed = view.CellPictures().RowsComposed();
  QApplication::processEvents(); // draws the pictures at ratio 2
  EXPECT_EQ(view.CellPictures().Ratio(), 2);
  EXPECT_GE(view.CellPictures().PictureCount(), 4u * 13u);
  const QImage byPictures = Grab(view);
  EXPECT_GE(view.CellPictures().RowsComposed(), composed + 4) << "rows made of pictures";
  EXPECT_EQ(byPictures, byGlyphs);

  // The same text drawn by QPainter::drawText on an image of ratio 2.
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  for (int face = 0; face < 4; ++face) {
    QImage expected(byPictures.size(), byPictures.format());
    expected.setDevicePixelRatio(2);
    expected.fill(Qt::white);
    const int column = DrawLineAsText(view, line, face, expected);
    const QRect row(2 * CTextView::MARGIN_WIDTH, 2 * face * lh, 2 * column * cw, 2 * lh);
    EXPECT_EQ(byPictures.copy(row), expected.copy(row)) << "face " << face;
  }
}

// Underscores put ink into their neighbours' cells: a run of them is one unbroken line, in
// the device pixels, without a seam where one cell's picture meets the next.
TEST(RatioTwo, NeighbouringCellsMeetWithoutSeams) {
  Shown shown("a________b\nx");
  CRatioView& view = shown.view;
  QApplication::processEvents();
  const uint64_t composed = view.CellPictures().RowsComposed();
  const QImage image = Grab(view);
  ASSERT_GT(view.CellPictures().RowsComposed(), composed);
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  const int left = 2 * (CTextView::MARGIN_WIDTH + cw), right = 2 * (CTextView::MARGIN_WIDTH + 9 * cw);
  int inkRow = -1;
  for (int y = 0; y < 2 * lh && inkRow < 0; ++y)
    if (Inked(image, left + cw, y)) inkRow = y;
  ASSERT_GE(inkRow, 0) << "no underscore ink";
  for (int x = left + 2; x < right - 2; ++x) EXPECT_TRUE(Inked(image, x, inkRow)) << "seam at " << x;
}

// The caret and the selection stand on the same cells at ratio 2 as at 1: their device
// pixels are those of the cells, doubled. The unselected rows are still made of pictures.
TEST(RatioTwo, CaretAndSelectionStandOnTheirCells) {
  Shown shown("abcdef\nghijkl\nmn    qr", true);
  CRatioView& view = shown.view;
  QApplication::processEvents();
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  view.SetShowInactiveSelection(true);
  Select(view, {2, 1}, {4, 1});
  QApplication::processEvents();
  const uint64_t composed = view.CellPictures().RowsComposed();
  QImage image = Grab(view);
  EXPECT_GE(view.CellPictures().RowsComposed(), composed + 2) << "lines 0 and 2";
  const QRgb selBack = qRgb(0, 0, 128);
  const int x0 = 2 * (CTextView::MARGIN_WIDTH + 2 * cw), x1 = 2 * (CTextView::MARGIN_WIDTH + 4 * cw);
  for (int y = 2 * lh; y < 4 * lh; ++y) {
    EXPECT_EQ(image.pixel(x0, y), selBack) << y;
    EXPECT_EQ(image.pixel(x1 - 1, y), selBack) << y;
    EXPECT_NE(image.pixel(x0 - 1, y), selBack) << y;
    EXPECT_NE(image.pixel(x1, y), selBack) << y;
  }
  // The caret: 2 pixels wide at the left edge of cell 3 of line 2, inverting the blank there.
  const QPoint caret = view.TextPosToPoint({3, 2}) * 2;
  Select(view, {3, 2}, {3, 2});
  QApplication::processEvents();
  bool found = false;
  for (int attempt = 0; attempt < 20 && !found; ++attempt) {
    image = Grab(view);
    found = image.pixel(caret + QPoint(0, lh)) == qRgb(0, 0, 0) &&
            image.pixel(caret + QPoint(3, lh)) == qRgb(0, 0, 0);
    if (!found) QTest::qWait(100);
  }
  ASSERT_TRUE(found) << "caret not shown at the cell's device pixels";
  EXPECT_EQ(image.pixel(caret + QPoint(4, lh)), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(caret + QPoint(-1, lh)), qRgb(255, 255, 255));
}

// Rendered into an image of ratio 1 (a print-out or a thumbnail of a view on this screen),
// the text is drawn for that image's pixels, not copied from pictures made for the screen.
TEST(RatioTwo, ARenderIntoAnImageOfRatioOneDrawsForItsPixels) {
  Shown shown("Hello, world\nAnother_line");
  CRatioView& view = shown.view;
  QApplication::processEvents(); // the pictures at ratio 2 are ready
  QImage image(view.viewport()->size(), QImage::Format_RGB32);
  image.fill(Qt::green);
  view.viewport()->render(&image);
  const int cw = view.GetCharWidth(), lh = view.GetLineHeight();
  QImage expected(image.size(), image.format());
  expected.fill(Qt::white);
  QPainter painter(&expected);
  painter.setFont(view.GetStyleFont(false, false));
  painter.drawText(CTextView::MARGIN_WIDTH, QFontMetrics(painter.font()).ascent(),
                   QStringLiteral("Hello, world"));
  painter.end();
  const QRect row(CTextView::MARGIN_WIDTH, 0, 12 * cw, lh);
  EXPECT_EQ(image.copy(row), expected.copy(row));
}

// The wavy underline at ratio 2: inside the same pixels as at ratio 1 (whole pixels, two by
// two device pixels each), above the row's bottom edge and within its columns.
TEST(RatioTwo, SquigglesStayInTheirPixels) {
  const auto rowsAndColumns = [](qreal ratio) {
    QImage image(QSize(40, 12) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintSquiggle(painter, 10, 30, 9, Qt::red);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255)) ink |= QRect(x, y, 1, 1);
    return ink;
  };
  EXPECT_EQ(rowsAndColumns(1), QRect(QPoint(10, 7), QPoint(30, 9)));
  EXPECT_EQ(rowsAndColumns(2), QRect(QPoint(20, 14), QPoint(61, 19)));
}

} // namespace
