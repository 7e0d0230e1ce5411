// A document's encoding: chosen on open, shown in the status bar, converted, reopened.
#include <QAccessible>
#include <QAccessibleTextInterface>

#include "ide_test_support.h"
#include "status_bar.h"

namespace {

using apptest::Ide;

std::string LineBytes(CTextBuffer& text, int line) { return std::string(text.LineChars(line), size_t(text.LineLength(line))); }

TEST_F(Ide, EncodingIsChosenShownConvertedAndReopened) {
  ASSERT_TRUE(WriteFile(Path("l.inf"), "!% -C1\r\n! caf\xC3\xA9\r\n"));
  ASSERT_TRUE(WriteFile(Path("u.inf"), "! caf\xC3\xA9 \xCE\xBB\r\n"));
  ASSERT_TRUE(Start({Path("l.inf"), Path("u.inf")}));
  CTorvaneDoc* doc = ActiveDoc();
  CTextBuffer& text = doc->Buffer();
  EXPECT_EQ(doc->Encoding(), TextEncoding::Utf8);
  app->MainFrame()->Binder().Refresh();
  EXPECT_EQ(app->MainFrame()->StatusPanes()->PaneText(Cmd::INDICATOR_ENCODING), "UTF-8");

  // Lambda has no byte in ISO 8859-1: the user is asked, and No converts nothing.
  answers = {IDNO};
  EXPECT_FALSE(doc->ConvertEncoding(TextEncoding::Iso8859_1));
  ASSERT_FALSE(messages.isEmpty());
  EXPECT_TRUE(messages.last().startsWith("1 character(s) cannot be stored in ISO 8859-1 (on line 1)")) << messages.last().toStdString();
  EXPECT_EQ(LineBytes(text, 0), "! caf\xC3\xA9 \xCE\xBB");
  answers = {IDYES};
  EXPECT_TRUE(doc->ConvertEncoding(TextEncoding::Iso8859_1));
  EXPECT_EQ(LineBytes(text, 0), "! caf\xE9 ?");
  EXPECT_EQ(doc->Encoding(), TextEncoding::Iso8859_1);
  EXPECT_TRUE(doc->IsModified());

  // Reopening a changed document asks first; the file's bytes come back in UTF-8.
  messages.clear();
  answers = {IDYES};
  EXPECT_TRUE(doc->ReopenWithEncoding(TextEncoding::Utf8));
  EXPECT_TRUE(messages.size() == 1 && messages[0].startsWith("Reopening reads"));
  EXPECT_EQ(LineBytes(text, 0), "! caf\xC3\xA9 \xCE\xBB");
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(doc->ReopenWithEncoding(TextEncoding::Iso8859_1));
  EXPECT_EQ(doc->Encoding(), TextEncoding::Iso8859_1);
  EXPECT_TRUE(doc->ReopenWithEncoding(std::nullopt)); // as the file says: its bytes
  EXPECT_EQ(doc->Encoding(), TextEncoding::Utf8);

  // The header's -C1 wins over valid UTF-8 bytes.
  app->DocManager()->OpenDocumentFile(Path("l.inf"));
  EXPECT_EQ(ActiveDoc()->Encoding(), TextEncoding::Iso8859_1);
}

// Every item of the two encoding menus, checked or not: the status pane's text, then the
// checked ids.
class Encodings : public Ide {
protected:
  std::string Shown() {
    app->MainFrame()->Binder().Refresh();
    std::string shown = app->MainFrame()->StatusPanes()->PaneText(Cmd::INDICATOR_ENCODING).toStdString();
    for (int id = 32870; id <= 32947; ++id)
      if (QAction* action = MenuAction(129, id); action && action->isChecked()) shown += " " + std::to_string(id);
    return shown;
  }
  std::string FirstLine() { // as a screen reader reads it
    int start = 0, end = 0;
    return QAccessible::queryAccessibleInterface(ActiveView())->textInterface()->textAtOffset(0, QAccessible::LineBoundary, &start, &end).toStdString();
  }
};

// Reopen with Encoding offers every character set the compiler reads; each reads the same
// bytes as its own characters and is the one item checked.
TEST_F(Encodings, EveryEncodingReopensTheBytesAsItsOwnCharacters) {
  ASSERT_TRUE(WriteFile(Path("r.inf"), "\xC3\xA6\xE6\xFE\r\n"));
  ASSERT_TRUE(Start({Path("r.inf")}));
  EXPECT_EQ(Shown(), "ISO 8859-1 32871 32872"); // E6 FE is no UTF-8
  const struct { int id; const char *shown, *line; } rows[] = {
      {32870, "UTF-8 32870", "\xC3\xA6\\xE6\\xFE\n"},
      {32871, "ISO 8859-1 32871", "\xC3\x83\xC2\xA6\xC3\xA6\xC3\xBE\n"},
      {32930, "ISO 8859-2 32930", "\xC4\x82\xC5\x9A\xC4\x87\xC5\xA3\n"},
      {32931, "ISO 8859-3 32931", "\\xC3\xC4\xA4\xC4\x89\xC5\x9D\n"},
      {32932, "ISO 8859-4 32932", "\xC3\x83\xC4\xBB\xC3\xA6\xC5\xAB\n"},
      {32933, "ISO 8859-5 32933", "\xD0\xA3\xD0\x86\xD1\x86\xD1\x9E\n"},
      {32934, "ISO 8859-6 32934", "\xD8\xA3\\xA6\xD9\x86\\xFE\n"},
      {32935, "ISO 8859-7 32935", "\xCE\x93\xC2\xA6\xCE\xB6\xCF\x8E\n"},
      {32936, "ISO 8859-8 32936", "\\xC3\xC2\xA6\xD7\x96\xE2\x80\x8F\n"},
      {32937, "ISO 8859-9 32937", "\xC3\x83\xC2\xA6\xC3\xA6\xC5\x9F\n"},
      {32938, "ASCII 32938", "\\xC3\\xA6\\xE6\\xFE\n"},
      {32872, "ISO 8859-1 32871 32872", "\xC3\x83\xC2\xA6\xC3\xA6\xC3\xBE\n"},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(Choose(row.id));
    EXPECT_EQ(Shown() + " " + FirstLine(), std::string(row.shown) + " " + row.line);
  }
  EXPECT_TRUE(messages.isEmpty()); // nothing was changed, so nothing was asked
}

// Convert Encoding writes each character as its encoding's byte; Undo gives back the bytes
// and the encoding before, Redo converts again, and a save after Undo writes the old bytes.
TEST_F(Encodings, EachConversionWritesItsBytesAndUndoRestoresTheEncoding) {
  const std::string original = "\xC3\xA6\r\n\xC4\x87\r\n\xC4\x89\r\n\xC4\x81\r\n\xD0\xB6\r\n"
                               "\xD8\xB9\r\n\xCE\xBB\r\n\xD7\x90\r\n\xC5\x9F\r\nA\r\n";
  ASSERT_TRUE(WriteFile(Path("c.inf"), QByteArray::fromStdString(original)));
  ASSERT_TRUE(Start({Path("c.inf")}));
  CTextBuffer& text = ActiveDoc()->Buffer();
  const auto whole = [&text] { return text.GetText(0, 0, text.LineCount() - 1, 0); };
  const struct { int id; const char* name; int line; const char* bytes; const char* shown; } rows[] = {
      {32874, "ISO 8859-1", 0, "\xE6", "ISO 8859-1 32871 32872"}, {32939, "ISO 8859-2", 1, "\xE6", "ISO 8859-2 32930"},
      {32940, "ISO 8859-3", 2, "\xE6", "ISO 8859-3 32931"}, {32941, "ISO 8859-4", 3, "\xE0", "ISO 8859-4 32932"},
      {32942, "ISO 8859-5", 4, "\xD6", "ISO 8859-5 32933"}, {32943, "ISO 8859-6", 5, "\xD9", "ISO 8859-6 32934"},
      {32944, "ISO 8859-7", 6, "\xEB", "ISO 8859-7 32935"}, {32945, "ISO 8859-8", 7, "\xE0", "ISO 8859-8 32936"},
      {32946, "ISO 8859-9", 8, "\xFE", "ISO 8859-9 32937"}, {32947, "ASCII", 9, "A", "ASCII 32938"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    answers = {IDYES}; // the other lines' characters are lost
    ASSERT_TRUE(Choose(row.id));
    EXPECT_TRUE(messages.last().contains(QString(" cannot be stored in %1 ").arg(row.name)));
    EXPECT_EQ(LineBytes(text, row.line) + LineBytes(text, row.line == 4 ? 0 : 4), row.bytes + std::string("?"));
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(MenuAction(129, Cmd::EDIT_UNDO)->text().toStdString(), "&Undo Convert Encoding\tCtrl+Z");
    ASSERT_TRUE(Choose(Cmd::EDIT_UNDO));
    EXPECT_EQ(whole(), original);
    EXPECT_EQ(Shown(), "UTF-8 32870 32872");
    EXPECT_FALSE(ActiveDoc()->IsModified());
    ASSERT_TRUE(Choose(Cmd::EDIT_REDO));
    EXPECT_EQ(LineBytes(text, row.line) + Shown(), row.bytes + std::string(row.shown));
    ASSERT_TRUE(Choose(Cmd::EDIT_UNDO));
  }
  // Saved converted, then undone: the save writes the bytes from before the conversion again.
  answers = {IDYES};
  ASSERT_TRUE(Choose(32942) && Choose(Cmd::FILE_SAVE) && Choose(Cmd::EDIT_UNDO));
  EXPECT_TRUE(ActiveDoc()->IsModified());
  ASSERT_TRUE(Choose(Cmd::FILE_SAVE));
  QFile saved(Path("c.inf"));
  EXPECT_TRUE(saved.open(QIODevice::ReadOnly) && saved.readAll().toStdString() == original);
  // To UTF-8 from a chosen ISO 8859-1: undone, the chosen encoding is back, not the file's.
  ASSERT_TRUE(Choose(32871) && Choose(32873));
  EXPECT_EQ(LineBytes(text, 0), "\xC3\x83\xC2\xA6");
  ASSERT_TRUE(Choose(Cmd::EDIT_UNDO));
  EXPECT_EQ(LineBytes(text, 0) + Shown(), "\xC3\xA6ISO 8859-1 32871");
}

} // namespace
