// A document's encoding: chosen on open, shown in the status bar, converted, reopened.
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

} // namespace
