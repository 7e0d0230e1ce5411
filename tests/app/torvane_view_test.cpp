// The Inform view: style colours and font, margin icons and the context menu.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "../toolchain/toolchain_test_support.h"
#include "colouring.h"
#include "profile_store.h"
#include "style_table.h"
#include "text_buffer.h"
#include "torvane_view.h"

namespace {

class InformView : public ::testing::Test {
protected:
  // A view of text, unfocused so that no caret is drawn; large letters carry more full ink.
  void Show(const QByteArray& text, int pixelHeight = 0) {
    ASSERT_TRUE(WriteFile(dir.filePath("shown.inf"), text));
    ASSERT_TRUE(buffer.Load(dir.filePath("shown.inf").toStdString()));
    view = std::make_unique<CTorvaneView>();
    view->SetDocumentBuffer(&buffer);
    view->SetStyleTable(&styles);
    view->OnInitialUpdate();
    EXPECT_EQ(view->GetViewFont(), (FontDescription{"Courier New", 0, 400, false, 0}));
    if (pixelHeight != 0) view->SetViewFont({"Courier New", -pixelHeight, 400, false, 0});
    view->resize(1000, 300);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
  }
  // Pixels of colour in the cells [first, last) of line, or in its margin when first < 0.
  int Pixels(int line, int first, int last, const QColor& colour) {
    const QImage image = view->viewport()->grab().toImage();
    const int h = view->GetLineHeight();
    const QRect cells = first < 0 ? QRect(0, line * h, CTextView::MARGIN_WIDTH, h)
                                  : QRect(view->TextPosToPoint(TextPosition(first, line)),
                                          QSize((last - first) * view->GetCharWidth(), h));
    int count = 0;
    for (int y = cells.top(); y <= cells.bottom(); ++y)
      for (int x = cells.left(); x <= cells.right(); ++x)
        count += image.valid(x, y) && image.pixelColor(x, y).rgb() == colour.rgb();
    return count;
  }

  QTemporaryDir dir;
  CStyleTable styles;
  CTextBuffer buffer;
  std::unique_ptr<CTorvaneView> view;
};

TEST_F(InformView, CommentsAndStringsArePaintedInTheirStyleColoursAlsoStoredOnes) {
  Show("! Moonlit room, lit by MMMM\r\nprint \"HHHHMMMM\";\r\n", 28);
  const QColor comment = ColorFromRef(styles.GetColour(COLORINDEX_COMMENT));
  const QColor quoted = ColorFromRef(styles.GetColour(COLORINDEX_QUOTEDTEXT));
  const QColor red(255, 0, 0);
  ASSERT_TRUE(comment != quoted && comment != red);
  EXPECT_GT(Pixels(0, 2, 27, comment), 20); // the comment's letters
  EXPECT_EQ(Pixels(0, 2, 27, quoted) + Pixels(0, 2, 27, red), 0);
  EXPECT_GT(Pixels(1, 7, 15, quoted), 20); // inside the string
  EXPECT_EQ(Pixels(1, 7, 15, comment) + Pixels(1, 0, 5, quoted), 0); // "print" is not quoted
  EXPECT_EQ(Pixels(1, 20, 21, ColorFromRef(styles.GetColour(COLORINDEX_BKGND))),
            view->GetCharWidth() * view->GetLineHeight());

  // Styles read from the settings are painted from then on.
  CProfileStore store(dir.filePath("styles.ini"));
  ASSERT_TRUE(store.WriteProfileInt("Editor\\Styles", "CommentColour", static_cast<int32_t>(RgbRef(255, 0, 0))));
  ASSERT_TRUE(store.WriteProfileInt("Editor\\Styles", "CommentItalic", 1));
  styles.LoadStyles(store); // the view hears of it and repaints
  EXPECT_GT(Pixels(0, 2, 27, red), 20);
  EXPECT_TRUE(view->IsStyleItalic(COLORINDEX_COMMENT));
  EXPECT_FALSE(view->IsStyleBold(COLORINDEX_COMMENT));
  // Indices from 16, the table's end, on keep the view's own answer, not a read past it.
  EXPECT_FALSE(view->IsStyleBold(16));
  EXPECT_EQ(view->GetStyleColor(16), RgbRef(255, 0, 0));
}

TEST_F(InformView, MarginIconsAndTheContextMenu) {
  Show("abc def\r\ntwo\r\nthree\r\n");
  const QColor tag(255, 214, 60); // the bookmark tag's yellow
  const QColor margin = ColorFromRef(view->GetStyleColor(COLORINDEX_SELMARGIN));
  buffer.SetLineFlag(1, LF_NUMBERED_BOOKMARK(3), true);
  buffer.SetLineFlag(2, LF_HIGHLIGHT3, true); // a mark with no icon
  EXPECT_GT(Pixels(1, -1, 0, tag), 10);
  for (int line : {0, 2})
    EXPECT_EQ(Pixels(line, -1, 0, margin), CTextView::MARGIN_WIDTH * view->GetLineHeight());

  QApplication::clipboard()->clear();
  auto texts = [](QMenu& menu) {
    QStringList list;
    for (QAction* action : menu.actions())
      list << (action->isSeparator() ? "-" : action->text() + (action->isEnabled() ? "" : " (off)"));
    return list.join("|");
  };
  std::unique_ptr<QMenu> menu = view->CreateContextMenu();
  EXPECT_EQ(texts(*menu), "Go to &Definition\tF12 (off)|Find &References\tShift+F12 (off)|Rena&me Symbol...\tCtrl+R, Ctrl+R (off)|-|Cu&t (off)|&Copy (off)|&Paste (off)|-|Insert New &Object (off)|"
                          "Insert New &Function (off)|-|&Edit Object (off)");
  view->SetSelection(TextPosition(0, 0), TextPosition(4, 0));
  QApplication::clipboard()->setText("x");
  menu = view->CreateContextMenu();
  EXPECT_EQ(texts(*menu), "Go to &Definition\tF12 (off)|Find &References\tShift+F12 (off)|Rena&me Symbol...\tCtrl+R, Ctrl+R (off)|-|Cu&t|&Copy|&Paste|-|Insert New &Object (off)|"
                          "Insert New &Function (off)|-|&Edit Object (off)");
  menu->actions().at(4)->trigger(); // Cut
  EXPECT_EQ(QApplication::clipboard()->text(), "abc ");
  EXPECT_EQ(buffer.GetText(0, 0, 0, buffer.LineLength(0)), "def");
}

// A dark high-contrast desktop: the view's own colours and the selection follow its palette;
// a default style colour that would vanish on it is its text colour, a chosen one stays.
TEST_F(InformView, DefaultColoursFollowADarkDesktop) {
  const QPalette light = QApplication::palette();
  QPalette dark = light;
  dark.setColor(QPalette::Base, Qt::black);
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::Button, QColor(40, 40, 40));
  dark.setColor(QPalette::Highlight, Qt::yellow);
  dark.setColor(QPalette::HighlightedText, Qt::black);
  QApplication::setPalette(dark);
  CProfileStore store(dir.filePath("dark.ini"));
  ASSERT_TRUE(store.WriteProfileInt("Editor\\Styles", "FunctionColour", 0x800000));
  styles.LoadStyles(store);
  QApplication::setPalette(light);
  const uint32_t expected[16] = {0x000000, 0x000000, 0xFFFFFF, 0x282828, 0x00FFFF, 0x000000,
                                 0x808080, 0x0000FF, 0x800000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                 0xFFFFFF, 0xFFFFFF, 0x008080, 0x008000};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(styles.GetColour(i), expected[i]) << i;
  Show("Object lamp;\r\n", 28);
  EXPECT_GT(Pixels(0, 0, 6, Qt::white), 20); // the directive, once dark blue
  EXPECT_GT(Pixels(0, 0, 6, Qt::black), 20);
}

} // namespace
