// The Inform view: colours from the style table painted over the Inform colouring, stored
// styles read back, the document font, the margin icons and the context menu.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "app_test_support.h"
#include "colouring.h"
#include "profile_store.h"
#include "style_table.h"
#include "text_buffer.h"
#include "torvane_view.h"

namespace {

class InformView : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }

  // A view showing text (lines joined by CR LF in the file), not focused, so that no caret
  // is drawn. Colour tests use large letters, so that many pixels carry the full ink.
  void Show(const std::string& text, int pixelHeight = 0) {
    const QString path = dir.filePath("shown.inf");
    ASSERT_TRUE(apptest::WriteFile(path, text));
    ASSERT_TRUE(buffer.Load(path.toStdString()));
    view = std::make_unique<CTorvaneView>();
    view->SetDocumentBuffer(&buffer);
    view->SetStyleTable(&styles);
    view->OnInitialUpdate();
    if (pixelHeight != 0) {
      FontDescription large = CTorvaneView::DocumentFont();
      large.height = -pixelHeight;
      view->SetViewFont(large);
    }
    view->resize(1000, 300);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  QImage Grab() { return view->viewport()->grab().toImage(); }
  // Pixels of colour in the cells [first, last) of line.
  int Pixels(const QImage& image, int line, int first, int last, COLORREF colour) {
    return apptest::CountColour(image, apptest::CellsRect(*view, line, first, last),
                                ColorFromRef(colour));
  }
  // Pixels of colour in the margin beside line.
  int MarginPixels(const QImage& image, int line, const QColor& colour) {
    const int lh = view->GetLineHeight();
    return apptest::CountColour(image, QRect(0, line * lh, CCrystalTextView::MARGIN_WIDTH, lh),
                                colour);
  }

  QTemporaryDir dir;
  CStyleTable styles;
  CCrystalTextBuffer buffer;
  std::unique_ptr<CTorvaneView> view;
};

TEST_F(InformView, CommentsAndStringsArePaintedInTheirStyleColoursAlsoStoredOnes) {
  Show("! Moonlit room, lit by MMMM\r\nprint \"HHHHMMMM\";\r\n", 28);
  const COLORREF comment = styles.GetColour(COLORINDEX_COMMENT);
  const COLORREF quoted = styles.GetColour(COLORINDEX_QUOTEDTEXT);
  const COLORREF red = RgbRef(255, 0, 0);
  ASSERT_NE(comment, quoted);
  ASSERT_NE(comment, red);
  const QImage image = Grab();
  EXPECT_GT(Pixels(image, 0, 2, 27, comment), 20); // the comment's letters
  EXPECT_EQ(Pixels(image, 0, 2, 27, quoted), 0);
  EXPECT_EQ(Pixels(image, 0, 2, 27, red), 0);
  EXPECT_GT(Pixels(image, 1, 7, 15, quoted), 20); // inside the string
  EXPECT_EQ(Pixels(image, 1, 7, 15, comment), 0);
  EXPECT_EQ(Pixels(image, 1, 0, 5, quoted), 0); // "print" is not string-coloured
  // The background of the text is the style table's.
  EXPECT_EQ(image.pixelColor(apptest::CellsRect(*view, 1, 20, 21).center()).rgb(),
            ColorFromRef(styles.GetColour(COLORINDEX_BKGND)).rgb());

  // Styles read from the settings are painted from then on.
  CProfileStore store(dir.filePath("styles.ini"));
  ASSERT_TRUE(store.WriteProfileInt("Editor\\Styles", "CommentColour", static_cast<int32_t>(red)));
  ASSERT_TRUE(store.WriteProfileInt("Editor\\Styles", "CommentItalic", 1));
  styles.LoadStyles(store); // the view hears of it and repaints
  EXPECT_GT(Pixels(Grab(), 0, 2, 27, red), 20);
  EXPECT_TRUE(view->IsStyleItalic(COLORINDEX_COMMENT));
  EXPECT_FALSE(view->IsStyleBold(COLORINDEX_COMMENT));
  // Indices past the table keep the view's own answer instead of reading past its end.
  EXPECT_FALSE(view->IsStyleBold(CStyleTable::STYLE_COUNT + 1));
  EXPECT_EQ(view->GetStyleColor(CStyleTable::STYLE_COUNT + 1), RgbRef(255, 0, 0));
}

TEST_F(InformView, TheDocumentFontResolvesToAFixedPitchFaceAndIsTakenAtTheInitialUpdate) {
  const FontDescription font = CTorvaneView::DocumentFont();
  const QFontInfo info(ResolveViewFont(font, false, false));
  EXPECT_TRUE(info.fixedPitch());
  EXPECT_EQ(info.family(), "Liberation Mono");
  Show("x\r\n");
  EXPECT_EQ(view->GetViewFont(), font);

}

TEST_F(InformView, ABookmarkedLineShowsItsIconFromTheStripAndAHighlightedOneNone) {
  Show("one\r\ntwo\r\nthree\r\n");
  const QColor tag(255, 214, 60); // the bookmark tag's yellow
  const QColor margin = ColorFromRef(view->GetStyleColor(COLORINDEX_SELMARGIN));
  const int cells = CCrystalTextView::MARGIN_WIDTH * view->GetLineHeight();
  EXPECT_EQ(MarginPixels(Grab(), 1, tag), 0);
  buffer.SetLineFlag(1, LF_NUMBERED_BOOKMARK(3), true);
  buffer.SetLineFlag(2, LF_HIGHLIGHT3, true); // a mark with no icon
  view->viewport()->update();
  const QImage image = Grab();
  EXPECT_GT(MarginPixels(image, 1, tag), 10);
  EXPECT_EQ(MarginPixels(image, 0, margin), cells);
  EXPECT_EQ(MarginPixels(image, 2, margin), cells);
}

TEST_F(InformView, TheContextMenuOffersTheEditCommandsAndDisablesTheUnhandledOnes) {
  Show("abc def\r\n");
  QApplication::clipboard()->clear();
  auto texts = [](QMenu& menu) {
    QStringList list;
    for (QAction* action : menu.actions())
      list << (action->isSeparator() ? QString("-")
                                     : action->text() + (action->isEnabled() ? "" : " (off)"));
    return list.join("|");
  };
  std::unique_ptr<QMenu> menu = view->CreateContextMenu();
  EXPECT_EQ(texts(*menu), "Cu&t (off)|&Copy (off)|&Paste (off)|-|Insert New &Object (off)|"
                          "Insert New &Function (off)|-|&Edit Object (off)");
  view->SetSelection(TextPosition(0, 0), TextPosition(4, 0));
  QApplication::clipboard()->setText("x");
  menu = view->CreateContextMenu();
  EXPECT_EQ(texts(*menu), "Cu&t|&Copy|&Paste|-|Insert New &Object (off)|"
                          "Insert New &Function (off)|-|&Edit Object (off)");
  menu->actions().at(0)->trigger(); // Cut
  EXPECT_EQ(QApplication::clipboard()->text(), "abc ");
  EXPECT_EQ(buffer.GetText(0, 0, 0, buffer.LineLength(0)), "def");
}

} // namespace
