// A UTF-8 text in the editing view: caret, deletes, typing, columns, escapes, clipboard, find.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "edit_test_support.h"
#include "message_box.h"
#include "search_dialog.h"

namespace {

class Characters : public edittest::EditViewTest<> {
protected:
  void LoadUtf8(std::string_view marked) {
    Load(marked);
    buffer->SetEncoding(TextEncoding::Utf8);
    // The encoding reset the view: put the marks back.
    TextPosition cursor;
    viewtest::Span selection;
    viewtest::Unmark(marked, cursor, selection);
    Place(cursor);
  }
  // R L CR CL SR D U: arrows (C- with Ctrl, S- with Shift); Del BS as PressKeys; "=x": types
  // the text x as one key.
  void Press(std::string_view keys) {
    static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> arrows = {
        {"R", {Qt::Key_Right, Qt::NoModifier}},     {"L", {Qt::Key_Left, Qt::NoModifier}},
        {"CR", {Qt::Key_Right, Qt::ControlModifier}}, {"CL", {Qt::Key_Left, Qt::ControlModifier}},
        {"SR", {Qt::Key_Right, Qt::ShiftModifier}}, {"D", {Qt::Key_Down, Qt::NoModifier}},
        {"U", {Qt::Key_Up, Qt::NoModifier}}};
    for (size_t i = 0; i < keys.size();) {
      const size_t end = std::min(keys.find(' ', i), keys.size());
      const std::string key(keys.substr(i, end - i));
      if (key[0] == '=')
        edittest::SendKey(*view, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(key.substr(1)));
      else if (const auto arrow = arrows.find(key); arrow != arrows.end())
        edittest::SendKey(*view, arrow->second.first, arrow->second.second, QString());
      else
        Keys(key);
      i = end + 1;
    }
  }
};

TEST_F(Characters, CaretWordMovesDeletesAndTypingStepByCharacterInSeveralScripts) {
  const struct {
    const char *before, *keys, *after;
  } rows[] = {
      {"|caf\xC3\xA9!", "R R R R", "caf\xC3\xA9|!"},                 // Latin with accent
      {"caf\xC3\xA9|!", "L", "caf|\xC3\xA9!"},
      {"\xCE\xBB|\xCF\x8C\xCE\xB3", "Del", "\xCE\xBB|\xCE\xB3"},       // Greek
      {"\xCE\xBB\xCF\x8C|\xCE\xB3", "BS", "\xCE\xBB|\xCE\xB3"},
      {"|\xD0\xB4\xD0\xBE\xD0\xBC \xD0\xB4\xD0\xBE", "CR", "\xD0\xB4\xD0\xBE\xD0\xBC |\xD0\xB4\xD0\xBE"}, // Cyrillic words
      {"|caf\xC3\xA9 x", "CR", "caf\xC3\xA9 |x"},
      {"\xD0\xB4\xD0\xBE\xD0\xBC x|", "CL CL", "|\xD0\xB4\xD0\xBE\xD0\xBC x"},
      {"\xE4\xB8\xAD|\xE6\x96\x87x", "SR", "\xE4\xB8\xAD{\xE6\x96\x87|}x"},  // CJK
      {"ab|cd\n\xE4\xB8\xAD\xE6\x96\x87", "D", "abcd\n\xE4\xB8\xAD|\xE6\x96\x87"}, // column 2 is after one wide character
      {"abcdef\n\xE4\xB8\xAD\xE6\x96\x87|", "U", "abcd|ef\n\xE4\xB8\xAD\xE6\x96\x87"},
      {"abc|d\n\xE9xyz", "D", "abcd\n\xE9|xyz"},                       // past the middle of an escape
      {"ab|cd\n\xE9xyz", "D", "abcd\n|\xE9xyz"},
      {"a|\xE9" "b", "Del", "a|b"},                                  // an invalid byte is one unit
      {"a\xE2\x82|b", "BS", "a|b"},                                  // so is a cut-short sequence
      {"a|\xE2\x82" "b", "R", "a\xE2\x82|b"},
      {"caf|", "=\xC3\xA9 =\xE4\xB8\xAD", "caf\xC3\xA9\xE4\xB8\xAD|"}, // typing stores UTF-8
      // Combining marks go with their character; Backspace takes the last mark alone.
      {"|e\xCC\x81x", "R", "e\xCC\x81|x"},
      {"e\xCC\x81\xCC\xA3|x", "L", "|e\xCC\x81\xCC\xA3x"},
      {"|e\xCC\x81x", "SR", "{e\xCC\x81|}x"},
      {"|\xD0\xB8\xCC\x86x", "Del", "|x"},
      {"a\xCC\x81\xCC\xA3|x", "BS", "a\xCC\x81|x"},
      {"\xCE\xB1\xCC\x81|", "BS BS", "|"},
      {"ab|c\ne\xCC\x81xyz", "D", "abc\ne\xCC\x81x|yz"},   // the mark takes no column
      {"e\xCC\x81x|y\nabc", "D", "e\xCC\x81xy\nab|c"},
      {"|\xCC\x81x", "R", "\xCC\x81|x"},                      // a mark with no character before it
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.before) + " + " + row.keys);
    LoadUtf8(row.before);
    Press(row.keys);
    EXPECT_EQ(Marked(), row.after);
  }
}

TEST_F(Characters, ColumnsCountCharactersAndEscapesShowInTheirColour) {
  LoadUtf8("\xE4\xB8\xAD\xE6\x96\x87x\xE9|y");
  const int cell = view->GetCharWidth();
  // Two wide characters take four cells, x one, the escape \xE9 four.
  EXPECT_EQ(view->TextPosToPoint(TextPosition(7, 0)).x(), view->GetMarginWidth() + 5 * cell);
  EXPECT_EQ(view->TextPosToPoint(TextPosition(8, 0)).x(), view->GetMarginWidth() + 9 * cell);
  view->PlaceCursor(TextPosition(1, 0)); // inside the first character: its start
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
  Place(TextPosition(8, 0));
  EXPECT_EQ(view->NearestTextPos(QPoint(view->GetMarginWidth() + 7 * cell + 1, 2)), TextPosition(8, 0));
  CCmdUIState state;
  state.id = Cmd::INDICATOR_POSITION;
  ASSERT_TRUE(view->OnUpdateCmdUI(Cmd::INDICATOR_POSITION, state));
  EXPECT_EQ(state.text.value_or(""), "Ln 1, Col 5");
  LoadUtf8("ab|"); // pure ASCII until a wide character is typed
  Press("=\xE4\xB8\xAD");
  EXPECT_EQ(view->TextPosToPoint(Cursor()).x(), view->GetMarginWidth() + 4 * cell);
  LoadUtf8("\xE4\xB8\xAD\xE6\x96\x87x\xE9y");
  view->HideCursor();
  const QImage image = view->viewport()->grab().toImage();
  int red = 0, redOutside = 0;
  for (int y = 0; y < view->GetLineHeight(); ++y)
    for (int x = view->GetMarginWidth(); x < view->GetMarginWidth() + 12 * cell; ++x) {
      const QColor c = image.pixelColor(x, y);
      const bool isRed = c.red() > 150 && c.green() < 80 && c.blue() < 80;
      (x >= view->GetMarginWidth() + 5 * cell && x < view->GetMarginWidth() + 9 * cell ? red : redOutside) += isRed;
    }
  EXPECT_GT(red, 10);
  EXPECT_EQ(redOutside, 0);
}

// A combining mark is drawn over its character, in no cell of its own, and the status bar's
// column counts the character and its marks once.
TEST_F(Characters, CombiningMarksAreDrawnOverTheirCharacterAndCountedWithIt) {
  const auto cells = [this](std::string_view text) {
    LoadUtf8(text);
    view->HideCursor();
    const QImage image = view->viewport()->grab().toImage();
    const int cell = view->GetCharWidth();
    std::vector<QImage> out;
    for (int i = 0; i < 3; ++i) out.push_back(image.copy(view->GetMarginWidth() + i * cell, 0, cell, view->GetLineHeight()));
    return out;
  };
  const std::vector<QImage> plain = cells("exy"), marked = cells("e\xCC\x81xy"), twice = cells("e\xCC\x81\xCC\x88xy");
  EXPECT_NE(marked[0], plain[0]); // the accent is over the e
  EXPECT_NE(twice[0], marked[0]);
  for (int i : {1, 2}) {
    EXPECT_EQ(marked[i], plain[i]) << i; // x and y keep their cells
    EXPECT_EQ(twice[i], plain[i]) << i;
  }
  LoadUtf8("e\xCC\x81\xCC\x88x|y");
  CCmdUIState state;
  state.id = Cmd::INDICATOR_POSITION;
  ASSERT_TRUE(view->OnUpdateCmdUI(Cmd::INDICATOR_POSITION, state));
  EXPECT_EQ(state.text.value_or(""), "Ln 1, Col 3");
  const int cell = view->GetCharWidth();
  EXPECT_EQ(view->TextPosToPoint(Cursor()).x(), view->GetMarginWidth() + 2 * cell);
  // A click in the right half of the e lands after its marks.
  EXPECT_EQ(view->NearestTextPos(QPoint(view->GetMarginWidth() + cell * 3 / 4, 2)), TextPosition(5, 0));
  view->PlaceCursor(TextPosition(3, 0)); // between the marks: the character's start
  EXPECT_EQ(Cursor(), TextPosition(0, 0));
}

TEST_F(Characters, ClipboardCarriesCharactersAndKeepsBytesAndFindUsesTheEncoding) {
  LoadUtf8("\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 \xE9!");
  Select(TextPosition(0, 0), TextPosition(12, 0));
  view->Copy();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 \\xE9"));
  Place(TextPosition(13, 0));
  Press("Paste");
  EXPECT_EQ(Text(), "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 \xE9!\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 \xE9");

  // Into ISO 8859-1: Greek does not fit; nothing goes in, and the user is told.
  Load("ab|");
  QString told;
  const auto old = SetTorvaneMessageBoxHandler([&](const QString& text, unsigned) { told = text; return IDOK; });
  Press("Paste");
  SetTorvaneMessageBoxHandler(old);
  EXPECT_EQ(Marked(), "ab|");
  EXPECT_TRUE(told.contains(QStringLiteral("ISO 8859-1")) && told.contains(QString::fromUtf8("\xCE\xBB"))) << told.toStdString();
  QGuiApplication::clipboard()->setText(QString::fromUtf8("caf\xC3\xA9"));
  Press("Paste");
  EXPECT_EQ(Marked(), "abcaf\xE9|");

  EXPECT_EQ(CSearchDialog::TextBytes(QString::fromUtf8("\xCF\x8C\xCE\xB3"), TextEncoding::Utf8), "\xCF\x8C\xCE\xB3");
  EXPECT_EQ(CSearchDialog::BytesText("\xCF\x8C\xE9", TextEncoding::Utf8), QString::fromUtf8("\xCF\x8C\\xE9"));
  LoadUtf8("\xCE\xBB\xCF\x8C\xCE\xB3 \xCF\x8C\xCE\xB3|");
  TextPosition found;
  ASSERT_TRUE(view->SearchText(CSearchDialog::TextBytes(QString::fromUtf8("\xCF\x8C\xCE\xB3"), TextEncoding::Utf8),
                               TextPosition(0, 0), 0, false, found));
  EXPECT_EQ(found, TextPosition(2, 0));
}

TEST_F(Characters, AnUntouchedLineWithInvalidBytesSavesBackByteForByte) {
  LoadUtf8("caf\xE9 \xC3\xA9 \xF0\x9F\n|x");
  Press("=\xC3\xA9");
  const QString path = dir.filePath(QStringLiteral("saved.inf"));
  ASSERT_TRUE(buffer->Save(path.toStdString()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("caf\xE9 \xC3\xA9 \xF0\x9F\r\n\xC3\xA9x"));
}

} // namespace
